#include "main/settings_file.h"

#include <cerrno>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "main/atomic_file.h"
#include "main/unicode_text.h"

namespace corvane {

namespace {

// A file broken at every start would otherwise fill the folder; past this
// many backups nothing more is saved, so nothing is lost either.
constexpr unsigned kMaxSettingsBackups = 1000;

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

std::filesystem::path settings_backup_path(const std::filesystem::path& file, unsigned n) {
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

    for (unsigned n = 1; n <= kMaxSettingsBackups; ++n) {
        const std::filesystem::path bak = settings_backup_path(file, n);
        // A hard link makes the backup atomically and refuses to replace an
        // existing one; it also works when the file itself cannot be read.
        if (::link(target->c_str(), bak.c_str()) == 0) return true;
        const int err = errno;
        if (err == EEXIST) {
            struct stat existing {};
            if (::stat(bak.c_str(), &existing) == 0 && existing.st_dev == kept.st_dev &&
                existing.st_ino == kept.st_ino)
                return true;  // kept already by an earlier call
            continue;
        }
        if (err == ENOENT) return !std::filesystem::exists(std::filesystem::symlink_status(*target, ec));
        // Folders on file systems without hard links: copy, still never over
        // an existing backup.
        if (std::filesystem::copy_file(*target, bak, std::filesystem::copy_options::none, ec)) return true;
        if (ec != std::errc::file_exists) return false;
    }
    return false;
}

bool save_settings_text(const std::filesystem::path& file, const std::string& text) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    return write_file_atomically(file, text, Durability::Rename);
}

}  // namespace corvane
