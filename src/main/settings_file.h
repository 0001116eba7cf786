#pragma once
// Reading settings.ini from disk and writing it back.
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

// "<file>.bak" beside the file.
std::filesystem::path settings_backup_path(const std::filesystem::path& file);

// Keeps the current `file` as settings_backup_path(file), unless that backup
// already exists (an earlier one is never replaced) or `file` is gone. False
// only when a copy was due and could not be made.
bool keep_settings_backup(const std::filesystem::path& file);

// Writes the text as the whole new content of `file`, creating its folder
// first (a failure there shows as a failed write). With `keep_old_first`, the
// old file is first kept as a backup; if that fails nothing is written. No
// fsync: this runs on the UI thread, possibly every frame. False on failure,
// so the caller tries again later.
bool save_settings_text(const std::filesystem::path& file, const std::string& text, bool keep_old_first);

}  // namespace corvane
