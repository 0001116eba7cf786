#include "main/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <string_view>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "main/atomic_file.h"
#include "main/unicode_text.h"
#include "platform/folder_reader.h"

namespace corvane {

namespace {

// The number of the backup of `file_name` that the folder entry `entry` is:
// 1 for "<file_name>.bak", n for "<file_name>.<n>.bak"; nothing for any
// other entry.
std::optional<std::uint64_t> backup_number(std::string_view entry, const std::string& file_name) {
    if (!entry.starts_with(file_name)) return std::nullopt;
    entry.remove_prefix(file_name.size());
    if (entry == ".bak") return 1;
    if (!entry.starts_with('.') || !entry.ends_with(".bak")) return std::nullopt;
    const std::string_view digits = entry.substr(1, entry.size() - 5);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
    return parse_unsigned_decimal(digits, std::numeric_limits<std::uint64_t>::max());
}

struct BackupScan {
    std::uint64_t highest = 0;
    bool holds_file = false;  // a backup is the very file (a hard link to it)
};

// One read of the folder the backups of `file` live in.
BackupScan scan_backups(const std::filesystem::path& file, const struct stat& kept) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const std::string file_name = file.filename().native();
    BackupScan scan;
    FolderReader reader(folder);
    for (FolderStep step = reader.next(); step.kind != FolderStep::Kind::End; step = reader.next()) {
        if (step.kind != FolderStep::Kind::Entry) continue;
        const std::optional<std::uint64_t> n = backup_number(step.name, file_name);
        if (!n) continue;
        scan.highest = std::max(scan.highest, *n);
        // Only a file with more than one name can be a backup already.
        struct stat existing {};
        if (kept.st_nlink > 1 && !scan.holds_file && ::stat((folder / step.name).c_str(), &existing) == 0 &&
            existing.st_dev == kept.st_dev && existing.st_ino == kept.st_ino)
            scan.holds_file = true;
    }
    return scan;
}

}  // namespace

LoadedSettings load_settings_file(const std::filesystem::path& file) {
    LoadedSettings out{default_settings(), false};
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) return out;

    const std::optional<std::string> text = read_whole_file(file);
    if (!text || !is_valid_utf8(*text)) {
        out.keep_unreadable_file = true;
        return out;
    }
    parse_settings_ini(*text, out.settings);
    return out;
}

std::filesystem::path settings_backup_path(const std::filesystem::path& file, std::uint64_t n) {
    std::filesystem::path bak = file;
    bak += n <= 1 ? std::string(".bak") : "." + std::to_string(n) + ".bak";
    return bak;
}

bool keep_settings_backup(const std::filesystem::path& file) {
    std::error_code ec;
    const std::optional<std::filesystem::path> target = write_target_of(file, ec);
    if (!target) return false;
    struct stat kept {};
    if (::stat(target->c_str(), &kept) != 0) return errno == ENOENT;

    const BackupScan scan = scan_backups(file, kept);
    if (scan.holds_file) return true;  // kept already by an earlier call
    if (scan.highest == std::numeric_limits<std::uint64_t>::max()) return false;
    const std::filesystem::path bak = settings_backup_path(file, scan.highest + 1);
    // A hard link makes the backup atomically and refuses to replace an
    // existing one; it also works when the file itself cannot be read.
    if (::link(target->c_str(), bak.c_str()) == 0) return true;
    const int err = errno;
    if (err == ENOENT) return !std::filesystem::exists(std::filesystem::symlink_status(*target, ec));
    if (err == EEXIST) return false;  // made meanwhile by another program: the next try looks again
    // Folders on file systems without hard links: copy, still never over
    // an existing backup.
    return std::filesystem::copy_file(*target, bak, std::filesystem::copy_options::none, ec);
}

bool save_settings_text(const std::filesystem::path& file, const std::string& text) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    return write_file_atomically(file, text, Durability::Rename);
}

}  // namespace corvane
