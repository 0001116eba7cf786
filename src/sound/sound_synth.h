#pragma once
// Turns a built-in sound into 16-bit samples and a WAV image in memory, so a
// play never touches the disk.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/builtin_sounds.h"

namespace corvane {

inline constexpr std::size_t kWavHeaderBytes = 44;

// The mixed notes and echoes before any scaling.
std::vector<float> mix_builtin_sound(const BuiltinSound& sound);

// Normalised so the loudest sample reaches 85 % of full scale at volume 100,
// faded out over the last 20 ms. Volumes above 100 count as 100.
std::vector<std::int16_t> render_samples(const BuiltinSound& sound, std::uint8_t volume);
std::vector<std::int16_t> render_builtin_samples(std::size_t index, std::uint8_t volume);

// A mono 16-bit PCM WAV image at kSoundRate: the 44-byte header, then the
// samples, all little-endian.
std::vector<std::uint8_t> make_wav_image(const std::vector<std::int16_t>& samples);

std::vector<std::uint8_t> builtin_wav_image(std::size_t index, std::uint8_t volume);

}  // namespace corvane
