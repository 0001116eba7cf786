#include "ui/views/playback_bar_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "engine/clock_text.h"
#include "replay/replay_playback.h"
#include "replay/utf8_text.h"
#include "ui/count_text.h"

namespace corvane {

float timeline_width(float available_width) {
    // A NaN width (no layout yet) must not leak into the item sizes.
    if (!std::isfinite(available_width)) return 200.0f;
    return std::max(available_width - 250.0f, 200.0f);
}

double TimelineScale::span() const {
    // In doubles: the difference of two extreme int64 values overflows.
    return std::max(static_cast<double>(end_ms) - static_cast<double>(start_ms), 1.0);
}

float TimelineScale::x_of(double t) const {
    double f = (t - static_cast<double>(start_ms)) / span();
    if (!std::isfinite(f)) f = 0.0;
    f = std::clamp(f, 0.0, 1.0);
    return x0 + static_cast<float>(f * w);
}

double TimelineScale::time_at(float x) const {
    double f = w > 0.0f ? (static_cast<double>(x) - x0) / w : 0.0;
    if (!std::isfinite(f)) f = 0.0;
    f = std::clamp(f, 0.0, 1.0);
    return static_cast<double>(start_ms) + f * span();
}

std::string router_change_label(std::size_t marks) {
    if (marks == 0) return {};
    return count_text(marks, "router change");
}

std::string format_replay_datetime(std::int64_t unix_ms) {
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const bool utc = clock_utc();
    // Floor to the second, so a moment before 1970 keeps its own minute.
    std::int64_t secs = unix_ms / 1000;
    if (unix_ms % 1000 < 0) --secs;
    const auto t = static_cast<std::time_t>(secs);
    std::tm tm{};
    if ((utc ? gmtime_r(&t, &tm) : localtime_r(&t, &tm)) == nullptr) return {};
    if (tm.tm_mon < 0 || tm.tm_mon > 11) return {};
    // Month names and AM/PM by hand: strftime's follow the C locale.
    char buf[48];
    if (utc) {
        std::snprintf(buf, sizeof buf, "%s %d, %02d:%02d UTC", kMonths[tm.tm_mon], tm.tm_mday, tm.tm_hour,
                      tm.tm_min);
    } else {
        const int hour12 = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
        std::snprintf(buf, sizeof buf, "%s %d, %d:%02d %s", kMonths[tm.tm_mon], tm.tm_mday, hour12, tm.tm_min,
                      tm.tm_hour < 12 ? "AM" : "PM");
    }
    return buf;
}

std::string playback_file_name(const std::filesystem::path& path) {
    // Shown through a font that expects UTF-8.
    return utf8_lossy(path.filename().native());
}

void toggle_playback(ReplaySession& session) {
    if (session.playing) {
        session.playing = false;
    } else {
        if (position_to_ms(session.position_ms) >= session.end_ms)
            replay_seek(session, static_cast<double>(session.start_ms));
        session.playing = true;
    }
    session.last_tick.reset();
}

bool choose_playback_speed(ReplaySession& session, std::uint32_t speed) {
    if (session.speed == speed) return false;
    session.speed = speed;
    return true;
}

}  // namespace corvane
