#pragma once
// Replacing a file's whole content so that a crash or a full disk mid-write
// leaves either the old content or the new one, never a torn file.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace corvane {

enum class Durability : bool {
    // Rename only: enough against a failed or interrupted write; used for
    // settings.ini, which may change every frame while a slider moves.
    Rename = false,
    // Also flush the data and the folder entry to disk before returning.
    Synced = true,
};

// The temporary file beside `target`: its name with ".tmp" appended, so a
// list's temporary is "Office.txt.tmp" and never looks like a list.
std::filesystem::path temporary_path_for(const std::filesystem::path& target);

// The file a write to `target` replaces: `target` itself, or, when it is a
// symbolic link, the end of its chain of links, so that the link stays and
// the file it names gets the new content. That file need not exist: a write
// through a dangling link creates it, as a shell's ">" would. A loop of links
// (or one too long) is an error.
std::optional<std::filesystem::path> write_target_of(const std::filesystem::path& target, std::error_code& error);

// Writes `data` to the temporary file beside write_target_of(target), then
// renames it over that file. The folder must exist. A new file gets the old one's permission bits. On any
// failure the temporary is removed, `target` is untouched and false returned.
bool write_file_atomically(const std::filesystem::path& target, std::string_view data,
                           Durability durability = Durability::Rename);

// The same, telling why a write failed: `error` is the system error of the
// step that failed, cleared on success.
bool write_file_atomically(const std::filesystem::path& target, std::string_view data, Durability durability,
                           std::error_code& error);

// The whole content of a regular file, or nothing when it cannot be opened or
// read to the end (no permission, an I/O error), is no regular file (a
// folder, a FIFO, a device: none of them is opened in a way that waits) or
// holds more than `max_bytes`.
std::optional<std::string> read_whole_file(const std::filesystem::path& path,
                                           std::size_t max_bytes = static_cast<std::size_t>(-1));

}  // namespace corvane
