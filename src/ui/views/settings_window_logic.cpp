#include "ui/views/settings_window_logic.h"

#include <algorithm>
#include <cmath>

#include "main/unicode_text.h"
#include "sound/builtin_sounds.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {

inline constexpr Color32 kNoteGrey = rgb(110, 110, 110);
inline constexpr Color32 kNoteRed = rgb(255, 59, 59);

// The last component, "" when the path ends in none (a root, "." or "..").
std::string file_name_text(const fs::path& file) {
    const fs::path name = file.filename();
    if (name.empty() || name == "." || name == "..") return {};
    return lossy_utf8(name.native());
}


}  // namespace

std::string sound_file_label(const fs::path& file) {
    const fs::path stem = file.stem();
    if (stem.empty() || stem == "." || stem == "..") return lossy_utf8(file.native());
    return lossy_utf8(stem.native());
}

std::string sound_choice_label(const SoundChoice& choice) {
    if (choice.kind == SoundChoice::Kind::File) return sound_file_label(choice.file);
    return std::string(builtin_sound(choice.builtin).label);
}

bool is_custom_sound(const SoundChoice& choice, const std::vector<fs::path>& system_sounds) {
    if (choice.kind != SoundChoice::Kind::File) return false;
    return std::none_of(system_sounds.begin(), system_sounds.end(),
                        [&](const fs::path& p) { return same_path_components(p, choice.file); });
}

std::optional<SoundChoice> file_sound_pick(const fs::path& file) {
    if (file.empty() || has_control_character(file.native())) return std::nullopt;
    return SoundChoice::wav_file(file);
}

std::optional<fs::path> folder_from_text(std::string_view text) {
    const std::string_view trimmed = trim_unicode_space(text);
    if (trimmed.empty()) return std::nullopt;
    return fs::path(std::string(trimmed));
}

std::optional<SettingsNote> history_note(const TraceState& trace, const fs::path& folder_in_use, bool save_history) {
    if (trace.history_error) return SettingsNote{*trace.history_error, kNoteRed};
    if (trace.history_file) {
        const fs::path file(*trace.history_file);
        // A bare file name still has a parent: the empty path.
        if (file.has_relative_path() && same_path_components(file.parent_path(), folder_in_use))
            return SettingsNote{"Writing to " + file_name_text(file), kNoteGrey};
        return SettingsNote{"The new folder takes effect the next time you press Start.", kNoteGrey};
    }
    if (save_history) return SettingsNote{"Files are created when the first probe is recorded.", kNoteGrey};
    return std::nullopt;
}

std::uint8_t volume_at(float pointer_x, float x0, float x1) {
    const float span = x1 - x0;
    float f = span > 0.0f ? (pointer_x - x0) / span : 0.0f;
    if (!std::isfinite(f)) f = 0.0f;
    f = std::clamp(f, 0.0f, 1.0f);
    return static_cast<std::uint8_t>(std::lround(f * 100.0f));
}

float volume_knob_x(float x0, float x1, std::uint8_t volume) {
    return x0 + (x1 - x0) * static_cast<float>(std::min<std::uint8_t>(volume, 100)) / 100.0f;
}

float BoolAnimation::value(bool target, double now, float duration) {
    const auto end_value = [](bool on) { return on ? 1.0f : 0.0f; };
    const auto at = [&](double t) {
        if (duration <= 0.0f) return end_value(target_);
        const float f = std::clamp(static_cast<float>((t - since_) / duration), 0.0f, 1.0f);
        return from_ + (end_value(target_) - from_) * f;
    };
    if (!started_) {
        started_ = true;
        target_ = target;
        from_ = end_value(target);
        since_ = now;
    } else if (target != target_) {
        from_ = at(now);  // a change mid-slide turns back from where it is
        target_ = target;
        since_ = now;
    }
    return at(now);
}

float switch_knob_x(float track_left, float track_right, float t) {
    return (track_left + 11.0f) * (1.0f - t) + (track_right - 11.0f) * t;
}

}  // namespace corvane
