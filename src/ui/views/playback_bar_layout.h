#pragma once
// The playback bar's arithmetic, texts and session changes, apart from any
// drawing, so they can be checked without a window.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "replay/replay_session.h"

namespace corvane {

struct SpeedChoice {
    std::uint32_t value;
    const char* label;
};

// The speeds offered, in the order the selector shows them.
inline constexpr std::array<SpeedChoice, 4> kPlaybackSpeeds{{
    {1, "1x"},
    {10, "10x"},
    {60, "60x"},
    {600, "600x"},
}};

// The timeline takes what the row has left after the time and the button,
// but never gets narrower than 200.
float timeline_width(float available_width);

// Where times sit on a timeline starting at x0, w wide.
struct TimelineScale {
    float x0 = 0.0f;
    float w = 0.0f;
    std::int64_t start_ms = 0;
    std::int64_t end_ms = 0;

    // end - start, at least 1 ms, so a one-sample recording still has a scale.
    double span() const;
    // The time's place, clamped to the ends.
    float x_of(double t) const;
    // The time under a pointer at x, clamped to the recording.
    double time_at(float x) const;
};

// "{} router change{}" for the marks, or "" when there are none.
std::string router_change_label(std::size_t marks);

// The date texts at the timeline's ends: "Mar 5, 14:05 UTC" or
// "Mar 5, 2:05 PM", after the process-wide UTC flag. "" for a time that
// cannot be represented as a date.
std::string format_replay_datetime(std::int64_t unix_ms);

// The last component of the recording's path, for the title's hover text.
std::string playback_file_name(const std::filesystem::path& path);

// The play/pause button: pause, or play (from the start when at the end).
// Either way the clock starts its next step afresh.
void toggle_playback(ReplaySession& session);

// Picks a speed; true when it changed.
bool choose_playback_speed(ReplaySession& session, std::uint32_t speed);

}  // namespace corvane
