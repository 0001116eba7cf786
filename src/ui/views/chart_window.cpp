#include "ui/views/chart_window.h"

#include <algorithm>

namespace corvane {

std::optional<std::string_view> window_preset_label(std::uint64_t window_secs) {
    for (const WindowPreset& p : kWindowPresets)
        if (p.secs == window_secs) return p.label;
    return std::nullopt;
}

std::string_view window_selector_text(std::uint64_t window_secs) {
    return window_preset_label(window_secs).value_or(kCustomWindowText);
}

int custom_window_minutes(std::uint64_t window_secs) {
    // Clamped before narrowing: the settings file bounds the window, but a
    // stray huge value must not wrap into a negative field value.
    const std::uint64_t minutes = std::min<std::uint64_t>(window_secs / 60, kMaxCustomMinutes * 1000);
    return std::max(static_cast<int>(minutes), kMinCustomMinutes);
}

std::uint64_t window_from_minutes(int minutes) {
    return static_cast<std::uint64_t>(std::clamp(minutes, kMinCustomMinutes, kMaxCustomMinutes)) * 60;
}

std::uint64_t window_after_custom_choice(std::uint64_t window_secs) {
    return is_custom_window(window_secs) ? window_secs : 120;
}

}  // namespace corvane
