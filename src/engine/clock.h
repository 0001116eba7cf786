#pragma once
#include <cstdint>
#include <string>

namespace corvane {

// Current UTC time in milliseconds since 1970-01-01.
std::int64_t now_unix_ms();

// strftime-style local time of a Unix-ms instant. "%.3f" in the format is
// replaced by a point and the three digits of milliseconds.
std::string format_local_time(std::int64_t unix_ms, const char* format);

}  // namespace corvane
