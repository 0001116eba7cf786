#include "engine/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <vector>

namespace corvane {
namespace {

std::mutex g_clock_mutex;
MonotonicClock g_clock;

}  // namespace

std::chrono::steady_clock::time_point monotonic_now() {
    // Read under the lock, so that a replaced clock is never called after
    // set_monotonic_clock returns. A few readings a second per trace.
    std::lock_guard lock(g_clock_mutex);
    return g_clock ? g_clock() : std::chrono::steady_clock::now();
}

void set_monotonic_clock(MonotonicClock clock) {
    std::lock_guard lock(g_clock_mutex);
    g_clock = std::move(clock);
}

std::int64_t now_unix_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string format_local_time(std::int64_t unix_ms, const char* format) {
    // Floor division, so an instant before 1970 still gets 0-999 ms.
    std::int64_t secs = unix_ms / 1000;
    std::int64_t millis = unix_ms % 1000;
    if (millis < 0) {
        millis += 1000;
        secs -= 1;
    }

    // strftime knows no fractional seconds; the milliseconds go in as literal
    // digits before it sees the format.
    char frac[8];
    std::snprintf(frac, sizeof frac, ".%03d", static_cast<int>(millis));
    std::string fmt(format);
    const std::string token = "%.3f";
    for (std::size_t at = fmt.find(token); at != std::string::npos; at = fmt.find(token, at + 4)) {
        fmt.replace(at, token.size(), frac);
    }

    std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return {};

    // A zero return means either "too small" or an empty result; grow a few
    // times before settling on the latter.
    std::vector<char> buf(64 + fmt.size() * 4);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::size_t n = std::strftime(buf.data(), buf.size(), fmt.c_str(), &tm);
        if (n > 0) return std::string(buf.data(), n);
        buf.resize(buf.size() * 4);
    }
    return {};
}

}  // namespace corvane
