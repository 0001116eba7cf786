#pragma once
// The four alert sounds made in memory, as notes to synthesise.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane {

// One decaying tone.
struct SoundNote {
    float freq_hz;
    float start_s;  // from the start of the sound
    float decay_s;  // time constant of the exponential decay
    float amp;      // peak weight
    bool harmonics; // adds the 2nd and 3rd harmonics
};

// One delayed copy of every note.
struct SoundEcho {
    float delay_s;
    float gain;
};

struct BuiltinSound {
    std::string_view id;     // as written in settings.ini
    std::string_view label;  // as shown to the user
    std::vector<SoundNote> notes;
    std::vector<SoundEcho> echoes;
    std::size_t samples;     // length at kSoundRate
};

inline constexpr std::uint32_t kSoundRate = 44100;
inline constexpr std::size_t kBuiltinSoundCount = 4;

// Row i is the built-in index i of a sound choice; row 0 is the default.
const std::array<BuiltinSound, kBuiltinSoundCount>& builtin_sounds();

// An index past the table plays row 0.
const BuiltinSound& builtin_sound(std::size_t index);

}  // namespace corvane
