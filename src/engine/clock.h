#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// Current UTC time in milliseconds since 1970-01-01.
std::int64_t now_unix_ms();

// The monotonic clock that a trace's route checks are timed by.
std::chrono::steady_clock::time_point monotonic_now();

// Test seam: a clock to read instead (one running a day ahead, say, so that
// a test needn't wait out an interval); an empty function restores the
// system's. Once this returns, the clock it replaced is no longer called.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;
void set_monotonic_clock(MonotonicClock clock);

// strftime-style local time of a Unix-ms instant. "%.3f" in the format is
// replaced by a point and the three digits of milliseconds.
std::string format_local_time(std::int64_t unix_ms, const char* format);

}  // namespace corvane
