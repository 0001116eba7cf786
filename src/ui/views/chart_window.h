#pragma once
// The chart window's presets and what the window selector does with the
// seconds, apart from any drawing.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane {

struct WindowPreset {
    std::uint64_t secs;
    std::string_view label;
};

// In menu order.
inline constexpr std::array<WindowPreset, 5> kWindowPresets{{
    {60, "1 min"},
    {300, "5 min"},
    {600, "10 min"},
    {1800, "30 min"},
    {3600, "1 hour"},
}};

inline constexpr std::string_view kCustomWindowText = "Custom";
inline constexpr std::string_view kCustomWindowEntry = "Custom\u2026";
inline constexpr int kMinCustomMinutes = 1;
inline constexpr int kMaxCustomMinutes = 60;

// The preset's label when the window is one, else none (a custom window).
std::optional<std::string_view> window_preset_label(std::uint64_t window_secs);
inline bool is_custom_window(std::uint64_t window_secs) { return !window_preset_label(window_secs); }

// The combo box's selected text: the preset's label, else "Custom".
std::string_view window_selector_text(std::uint64_t window_secs);

// The minutes field of a custom window: whole minutes, at least 1.
int custom_window_minutes(std::uint64_t window_secs);

// The window a minutes field value stands for, kept within the field's range.
std::uint64_t window_from_minutes(int minutes);

// Choosing "Custom…": a preset window turns into a two-minute custom one; a
// custom window stays as it is.
std::uint64_t window_after_custom_choice(std::uint64_t window_secs);

}  // namespace corvane
