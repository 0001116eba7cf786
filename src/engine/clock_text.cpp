#include "engine/clock_text.h"

#include <atomic>
#include <cstdio>
#include <ctime>

namespace corvane {

namespace {
// Only the UI thread touches it, but an atomic costs nothing and keeps a
// stray reader on another thread well-defined.
std::atomic<bool> g_clock_utc{false};

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
}  // namespace

void set_clock_utc(bool utc) { g_clock_utc.store(utc, std::memory_order_relaxed); }
bool clock_utc() { return g_clock_utc.load(std::memory_order_relaxed); }

std::string format_time_of_day(std::int64_t unix_ms, bool with_seconds) {
    const bool utc = clock_utc();
    // Floor, not truncation: a moment before 1970 still belongs to the second
    // that started before it.
    const std::time_t secs = static_cast<std::time_t>(floor_div(unix_ms, 1000));
    std::tm tm{};
    if ((utc ? gmtime_r(&secs, &tm) : localtime_r(&secs, &tm)) == nullptr) return {};

    char buf[32];
    if (utc) {
        if (with_seconds) {
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
        } else {
            std::snprintf(buf, sizeof buf, "%02d:%02d", tm.tm_hour, tm.tm_min);
        }
        return buf;
    }
    // Written by hand rather than with strftime's %p, whose text follows the
    // C locale and could stop being "AM"/"PM".
    const int hour12 = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    const char* half = tm.tm_hour < 12 ? "AM" : "PM";
    if (with_seconds) {
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", hour12, tm.tm_min, tm.tm_sec, half);
    } else {
        std::snprintf(buf, sizeof buf, "%d:%02d %s", hour12, tm.tm_min, half);
    }
    return buf;
}

std::string format_clock_time(std::int64_t unix_ms, bool with_seconds) {
    std::string text = format_time_of_day(unix_ms, with_seconds);
    if (clock_utc()) text += " UTC";
    return text;
}

}  // namespace corvane
