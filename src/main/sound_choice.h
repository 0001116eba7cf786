#pragma once
// Which alert sound the user chose, and its text form in settings.ini.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace corvane {

struct SoundChoice {
    enum class Kind : std::uint8_t { Builtin, File };

    Kind kind = Kind::Builtin;
    std::uint8_t builtin = 0;     // row of builtin_sounds() (sound/builtin_sounds.h), for Kind::Builtin
    std::filesystem::path file;   // a WAV file, for Kind::File

    static SoundChoice builtin_sound(std::uint8_t index) { return {Kind::Builtin, index, {}}; }
    static SoundChoice wav_file(std::filesystem::path path) { return {Kind::File, 0, std::move(path)}; }

    bool operator==(const SoundChoice&) const = default;
};

// "builtin:chime" or "file:/path/to/sound.wav". An index past the table is
// written as the first sound, which is also what plays for it.
std::string format_sound_choice(const SoundChoice& choice);

// The reverse; anything it does not recognise is the first built-in sound.
SoundChoice parse_sound_choice(std::string_view text);

}  // namespace corvane
