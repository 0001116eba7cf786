#pragma once
// Playing the alert sound. Both calls return at once; the sound plays on a
// thread of its own and stops when a newer one starts. Anything that cannot
// be played is silence, never an error.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace corvane {

// A built-in sound (an index past the table plays row 0) at `volume`
// percent, 0..100.
void play_alert_sound(std::size_t builtin_index, std::uint8_t volume);

// A WAV file, at the system volume.
void play_alert_sound(const std::filesystem::path& wav_file);

// The body of a built-in sound's thread: plays the image it owns to its end,
// unless a newer play stops it, then frees it. `play` is the number from
// begin_sound_play.
void play_wav_thread(std::vector<std::uint8_t> image, std::uint64_t play);

}  // namespace corvane
