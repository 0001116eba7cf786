#pragma once
// Saved watch lists: one text file per list in the folder "Lists" beside
// settings.ini.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The list's text, "" when it has no file or the file cannot be read. Bytes
// that are not UTF-8 become U+FFFD.
std::string read_list_file(std::string_view name);

// The name a folder entry gives a list: its file stem (lossy UTF-8) when its
// extension is "txt" in any letter case; nothing otherwise.
std::optional<std::string> list_name_of_entry(const std::filesystem::path& entry);

// One step of the folder scan: the next list name from `it`, skipping
// entries that are not lists or cannot be read; nothing at the end.
std::optional<std::string> next_list_file_name(std::filesystem::directory_iterator& it);

// Every saved list's name, sorted by Unicode lower-case form (stable).
// Empty when the folder cannot be listed.
std::vector<std::string> list_saved_list_files();

}  // namespace corvane
