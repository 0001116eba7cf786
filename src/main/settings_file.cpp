#include "main/settings_file.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

#include "main/atomic_file.h"
#include "main/unicode_text.h"

namespace corvane {

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

std::filesystem::path settings_backup_path(const std::filesystem::path& file) {
    std::filesystem::path bak = file;
    bak += ".bak";
    return bak;
}

bool keep_settings_backup(const std::filesystem::path& file) {
    const std::filesystem::path bak = settings_backup_path(file);
    // A hard link makes the backup atomically and refuses to replace an
    // existing one; it also works when the file itself cannot be read.
    if (::link(file.c_str(), bak.c_str()) == 0) return true;
    const int err = errno;
    if (err == EEXIST) return true;
    if (err == ENOENT) {
        std::error_code ec;
        return !std::filesystem::exists(std::filesystem::symlink_status(file, ec));
    }
    // Folders on file systems without hard links: copy, still never over an
    // existing backup.
    std::error_code ec;
    if (std::filesystem::copy_file(file, bak, std::filesystem::copy_options::none, ec)) return true;
    return ec == std::errc::file_exists;
}

bool save_settings_text(const std::filesystem::path& file, const std::string& text, bool keep_old_first) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (keep_old_first && !keep_settings_backup(file)) return false;
    return write_file_atomically(file, text, Durability::Rename);
}

}  // namespace corvane
