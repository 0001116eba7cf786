#pragma once
// Saved watch lists: one text file per list in the folder "Lists" beside
// settings.ini.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_reader.h"

namespace corvane {

// The folder of settings_ini_path() joined with "Lists".
std::filesystem::path lists_dir();

// A list name's file stem: trimmed; the characters Windows forbids in file
// names, C0 and C1 controls and DEL become "_"; trailing dots and blanks go.
// May be empty.
std::string sanitize_list_file_name(std::string_view name);

// Whether two names denote the same list: their stems equal ignoring ASCII
// letter case.
bool list_names_equal(std::string_view a, std::string_view b);

// lists_dir()/"<stem>.txt": where a new list of this name is written.
std::filesystem::path list_file_path(std::string_view name);

// The file on disk that holds the list `name`. File names are case-sensitive
// here while list names are not, so "office" finds Office.txt. The exact
// list_file_path wins; else the smallest matching file name. Nothing
// when no such file exists.
std::optional<std::filesystem::path> find_list_file(std::string_view name);

// No host list is this large; a bigger file in the folder is something else
// and is never read whole.
inline constexpr std::size_t kMaxListFileBytes = std::size_t(16) << 20;

// The list's text, "" when it has no file or the file cannot be read: not a
// regular file (never waited for), or larger than kMaxListFileBytes. Bytes
// that are not UTF-8 become U+FFFD.
std::string read_list_file(std::string_view name);

// The same for a list file's path.
std::string read_list_text(const std::filesystem::path& path);

// Removes the list file at `path` when it is a regular file (or a link to
// one: the link goes), never a folder or anything else of that name.
void remove_list_file_at(const std::filesystem::path& path);

// The name a folder entry gives a list: its file stem (lossy UTF-8) when its
// extension is "txt" in any letter case; nothing otherwise.
std::optional<std::string> list_name_of_entry(const std::filesystem::path& entry);

// One step of the folder scan: the next list name among the entries that
// `next_entry` yields, passing over entries that are not lists and entries
// that cannot be read; nothing at the end.
std::optional<std::string> next_list_file_name(const std::function<FolderStep()>& next_entry);

// Every saved list's name, sorted by Unicode lower-case form (stable).
// Empty when the folder cannot be listed. Remembers the file each name came
// from, for listed_list_file.
std::vector<std::string> list_saved_list_files();

// find_list_file for the names the last list_saved_list_files() gave,
// without reading the folder: the exact list_file_path when it exists, else
// the file the scan found the name in (gone, when another program removed
// it since). A name that scan did not give is looked up by find_list_file.
std::optional<std::filesystem::path> listed_list_file(std::string_view name);

}  // namespace corvane
