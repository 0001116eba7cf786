#pragma once
// The system's own WAV sounds, offered as alert sounds beside the built-in
// ones: "$WINDIR/Media" when WINDIR is set, else the folder of WAV sounds
// that alsa-utils installs.
#include <filesystem>
#include <optional>
#include <vector>

namespace corvane {

std::filesystem::path system_sounds_dir();

// One step of the folder scan: the next entry whose extension is "wav" in any
// letter case, or nothing when the listing is exhausted. Entries that cannot
// be read are skipped; entries are not tested for being files.
std::optional<std::filesystem::path> next_wav_file(std::filesystem::directory_iterator& it);

// Whether `a` sorts before `b`: their file stems in Unicode lower case,
// compared byte by byte.
bool cmp_file_name_ci(const std::filesystem::path& a, const std::filesystem::path& b);

// Full paths of the WAV files directly in system_sounds_dir(), sorted (stable)
// by cmp_file_name_ci; empty when the folder cannot be listed.
std::vector<std::filesystem::path> gather_system_sounds();

}  // namespace corvane
