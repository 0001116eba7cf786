#pragma once
// Reading settings.ini from disk and writing it back.
#include <cstdint>
#include <filesystem>
#include <string>

#include "main/settings.h"

namespace corvane {

struct LoadedSettings {
    Settings settings;
    // The file exists but could not be read or is not UTF-8; it must be kept
    // as a backup before the first save replaces it.
    bool keep_unreadable_file = false;
};

// The defaults with the file's lines applied. A missing file, an unreadable
// one or one that is not valid UTF-8 gives the defaults alone.
LoadedSettings load_settings_file(const std::filesystem::path& file);

// The n-th backup beside the file: "<file>.bak" for the first (n = 1), then
// "<file>.2.bak", "<file>.3.bak" and so on.
std::filesystem::path settings_backup_path(const std::filesystem::path& file, std::uint64_t n = 1);

// Keeps the current content of `file` (of the file it links to, when it is a
// link: that is what a save replaces) in the backup numbered one above the
// highest found in one read of the folder, so no backup is ever replaced and
// the numbers never run out. Calling it again for the same file keeps no
// second copy where backups are hard links. True when the content is kept,
// or when `file` is gone and there is nothing to keep.
bool keep_settings_backup(const std::filesystem::path& file);

// Writes the text as the whole new content of `file`, creating its folder
// first (a failure there shows as a failed write). No fsync: this runs on the
// UI thread, possibly every frame. False on failure, so the caller tries
// again later.
bool save_settings_text(const std::filesystem::path& file, const std::string& text);

}  // namespace corvane
