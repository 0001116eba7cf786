#include "main/saved_lists.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <system_error>
#include <unordered_map>

#include "main/atomic_file.h"
#include "main/settings.h"
#include "main/unicode_text.h"

namespace corvane {

namespace {

bool forbidden_in_stem(char32_t c) {
    switch (c) {
        case U'"': case U'*': case U'/': case U':': case U'<':
        case U'>': case U'?': case U'\\': case U'|':
            return true;
        default:
            return c < 0x20 || (c >= 0x7F && c <= 0x9F);
    }
}

// The C1 control (U+0080..U+009F, bytes C2 80..C2 9F) starting at byte i,
// or 0 when there is none.
char32_t c1_control_at(std::string_view s, std::size_t i) {
    if (static_cast<unsigned char>(s[i]) == 0xC2 && i + 1 < s.size()) {
        const auto next = static_cast<unsigned char>(s[i + 1]);
        if (next >= 0x80 && next <= 0x9F) return next;
    }
    return 0;
}

// Splits a file name the way the folder scan reads it: "a.b.txt" has stem
// "a.b" and extension "txt"; ".txt" and ".." have no extension.
std::pair<std::string, std::optional<std::string>> split_file_name(const std::string& file_name) {
    if (file_name == "..") return {file_name, std::nullopt};
    const std::size_t dot = file_name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {file_name, std::nullopt};
    return {file_name.substr(0, dot), file_name.substr(dot + 1)};
}

// The file each name of the last folder scan came from. A name whose file
// name is not UTF-8, or does not give back its own stem (blanks around it, a
// forbidden character), has no file at its own path: finding that file again
// takes a read of the whole folder, and the library looks up the file of
// every card it shows on every frame.
struct ScannedFiles {
    std::mutex mutex;
    std::filesystem::path folder;
    std::unordered_map<std::string, std::string> file_of;  // list name -> file name
};

ScannedFiles& scanned_files() {
    static ScannedFiles files;
    return files;
}

}  // namespace

std::filesystem::path lists_dir() {
    const auto folder = settings_ini_path().parent_path();
    return folder.empty() ? std::filesystem::path("Lists") : folder / "Lists";
}

std::string sanitize_list_file_name(std::string_view name) {
    const std::string_view trimmed = trim_unicode_space(name);
    std::string out;
    out.reserve(trimmed.size());
    for (std::size_t i = 0; i < trimmed.size();) {
        const auto byte = static_cast<unsigned char>(trimmed[i]);
        if (byte < 0x80) {
            out += forbidden_in_stem(byte) ? '_' : static_cast<char>(byte);
            ++i;
        } else if (c1_control_at(trimmed, i)) {
            out += '_';
            i += 2;
        } else {
            // Every other byte of a multi-byte character passes through, so
            // letters of any script stay intact.
            out += static_cast<char>(byte);
            ++i;
        }
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    return out;
}

bool list_names_equal(std::string_view a, std::string_view b) {
    return ascii_equal_ignore_case(sanitize_list_file_name(a), sanitize_list_file_name(b));
}

std::filesystem::path list_file_path(std::string_view name) {
    return lists_dir() / (sanitize_list_file_name(name) + ".txt");
}

std::optional<std::string> list_name_of_entry(const std::filesystem::path& entry) {
    const auto [stem, ext] = split_file_name(entry.filename().native());
    if (!ext || !ascii_equal_ignore_case(*ext, "txt")) return std::nullopt;
    return lossy_utf8(stem);
}

std::optional<std::string> next_list_file_name(const std::function<FolderStep()>& next_entry) {
    for (FolderStep step = next_entry(); step.kind != FolderStep::Kind::End; step = next_entry()) {
        if (step.kind == FolderStep::Kind::Error) continue;
        if (auto name = list_name_of_entry(step.name)) return name;
    }
    return std::nullopt;
}

std::vector<std::string> list_saved_list_files() {
    std::vector<std::string> names;
    std::unordered_map<std::string, std::string> file_of;
    const std::filesystem::path dir = lists_dir();
    FolderReader folder(dir);
    std::string last_entry;
    const std::function<FolderStep()> next = [&] {
        FolderStep step = folder.next();
        if (step.kind == FolderStep::Kind::Entry) last_entry = step.name;
        return step;
    };
    while (auto name = next_list_file_name(next)) {
        // Names that only differ in bytes that are not UTF-8 come out the
        // same: the smallest file name stands for them, as find_list_file
        // chooses.
        const auto [at, fresh] = file_of.try_emplace(*name, last_entry);
        if (!fresh && last_entry < at->second) at->second = last_entry;
        names.push_back(std::move(*name));
    }
    sort_by_unicode_lower(names);

    ScannedFiles& scanned = scanned_files();
    std::lock_guard lock(scanned.mutex);
    scanned.folder = dir;
    scanned.file_of = std::move(file_of);
    return names;
}

std::optional<std::filesystem::path> listed_list_file(std::string_view name) {
    std::error_code ec;
    const auto exact = list_file_path(name);
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) return exact;
    {
        ScannedFiles& scanned = scanned_files();
        std::lock_guard lock(scanned.mutex);
        const auto it = scanned.file_of.find(std::string(name));
        if (it != scanned.file_of.end() && scanned.folder == exact.parent_path()) return scanned.folder / it->second;
    }
    return find_list_file(name);
}

std::optional<std::filesystem::path> find_list_file(std::string_view name) {
    std::error_code ec;
    const auto exact = list_file_path(name);
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) return exact;

    // Several files may differ only in letter case; the smallest file name
    // in byte order wins, so the same file is chosen every time.
    std::optional<std::string> best;
    FolderReader folder(lists_dir());
    for (FolderStep step = folder.next(); step.kind != FolderStep::Kind::End; step = folder.next()) {
        if (step.kind == FolderStep::Kind::Error) continue;
        const auto stem = list_name_of_entry(step.name);
        if (!stem || !list_names_equal(*stem, name)) continue;
        if (!best || step.name < *best) best = std::move(step.name);
    }
    if (!best) return std::nullopt;
    return lists_dir() / *best;
}

std::string read_list_text(const std::filesystem::path& path) {
    // Text that is not UTF-8 is repaired, not dropped: a watch of the list
    // still finds the hosts around a bad byte.
    return lossy_utf8(read_whole_file(path, kMaxListFileBytes).value_or(std::string()));
}

std::string read_list_file(std::string_view name) {
    const auto path = find_list_file(name);
    return path ? read_list_text(*path) : std::string();
}

void remove_list_file_at(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
}

}  // namespace corvane
