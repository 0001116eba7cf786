#pragma once
// Clock times as the views show them: local 12-hour, or UTC 24-hour when the
// user's UTC setting is on.
#include <cstdint>
#include <string>

namespace corvane {

// The process-wide copy of the UTC setting. Start-up and the toolbar's clock
// switch set it; every clock text reads it.
void set_clock_utc(bool utc);
bool clock_utc();

// "14:05:09" / "14:05" in UTC, or "2:05:09 PM" / "2:05 PM" in local time.
// An instant the C library cannot break down gives "".
std::string format_time_of_day(std::int64_t unix_ms, bool with_seconds);

// format_time_of_day, with " UTC" appended when the UTC flag is set.
std::string format_clock_time(std::int64_t unix_ms, bool with_seconds);

}  // namespace corvane
