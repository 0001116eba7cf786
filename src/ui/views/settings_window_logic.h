#pragma once
// The Settings window's decisions apart from any drawing: the texts it shows,
// which picks it accepts, and the slider and switch arithmetic.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/monitor_state.h"
#include "main/color.h"
#include "main/path_compare.h"
#include "main/sound_choice.h"

namespace corvane {

inline constexpr const char* kSettingsVersionLine = "Corvane 1.1.1";
inline constexpr const char* kSettingsMakerAddress = "corvane.example";


// A file's stem with invalid sequences replaced, or the whole path text when
// it has none.
std::string sound_file_label(const std::filesystem::path& file);

// What the sound box shows: a built-in sound's label, or the file's label.
std::string sound_choice_label(const SoundChoice& choice);

// A file choice whose path is none of the system sounds, compared component
// by component.
bool is_custom_sound(const SoundChoice& choice, const std::vector<std::filesystem::path>& system_sounds);

// A WAV file as a sound pick. A path holding a control character is refused:
// settings.ini keeps one key per line, and such a path would break it.
std::optional<SoundChoice> file_sound_pick(const std::filesystem::path& file);

// The folder a typed text names: the text trimmed of Unicode white space,
// nothing when that is empty.
std::optional<std::filesystem::path> folder_from_text(std::string_view text);

struct SettingsNote {
    std::string text;
    Color32 color;
};

// The line under the history folder, from the active trace's state, the
// folder in use and whether history is saved; nothing when no rule applies.
std::optional<SettingsNote> history_note(const TraceState& trace, const std::filesystem::path& folder_in_use,
                                         bool save_history);

// The volume under the pointer on a track from x0 to x1: 0..100, rounded.
std::uint8_t volume_at(float pointer_x, float x0, float x1);
// Where the knob of `volume` sits on that track.
float volume_knob_x(float x0, float x1, std::uint8_t volume);

// A switch that slides between off (0) and on (1) in `duration` seconds after
// each change of its value; a switch seen for the first time starts where it is.
class BoolAnimation {
public:
    float value(bool target, double now, float duration);

private:
    bool started_ = false;
    bool target_ = false;
    float from_ = 0.0f;
    double since_ = 0.0;
};

// The knob's centre on a switch track, t from 0 (left) to 1 (right).
float switch_knob_x(float track_left, float track_right, float t);

}  // namespace corvane
