#include "main/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/regular_file.h"

namespace corvane {

namespace {

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void sync_folder(const std::filesystem::path& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder.native();
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Enough for any real chain of links; the kernel's own limit is 40.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::optional<std::filesystem::path> write_target_of(const std::filesystem::path& target, std::error_code& error) {
    std::filesystem::path p = target;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno == ENOENT) return p;
            error.assign(errno, std::system_category());
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) return p;
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec) {
            error = ec;
            return std::nullopt;
        }
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    error.assign(ELOOP, std::system_category());
    return std::nullopt;
}

std::optional<std::string> read_whole_file(const std::filesystem::path& path, std::size_t max_bytes) {
    RegularFile file(path);
    return file.read_rest(max_bytes);
}

std::filesystem::path temporary_path_for(const std::filesystem::path& target) {
    std::filesystem::path tmp = target;
    tmp += ".tmp";
    return tmp;
}

bool write_file_atomically(const std::filesystem::path& target, std::string_view data, Durability durability) {
    std::error_code ignored;
    return write_file_atomically(target, data, durability, ignored);
}

bool write_file_atomically(const std::filesystem::path& target, std::string_view data, Durability durability,
                           std::error_code& error) {
    error.clear();
    const std::optional<std::filesystem::path> resolved = write_target_of(target, error);
    if (!resolved) return false;
    const std::filesystem::path& file = *resolved;
    const std::filesystem::path tmp = temporary_path_for(file);

    mode_t mode = 0666;  // narrowed by the umask
    struct stat old {};
    const bool had_old = ::stat(file.c_str(), &old) == 0;
    if (had_old) mode = old.st_mode & 07777;

    // A temporary left behind by a crash is simply overwritten.
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0) {
        error.assign(errno, std::system_category());
        return false;
    }
    // The umask applied at creation; an existing file's bits are copied as
    // they were.
    if (had_old) ::fchmod(fd, mode);

    // The first failure is the one to report; later steps only clean up. A
    // write that makes no progress leaves errno alone, hence the reset.
    errno = 0;
    bool ok = write_all(fd, data);
    if (!ok) error.assign(errno ? errno : EIO, std::system_category());
    if (ok && durability == Durability::Synced) {
        ok = ::fsync(fd) == 0;
        if (!ok) error.assign(errno, std::system_category());
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error.assign(errno, std::system_category());
    }
    if (ok && std::rename(tmp.c_str(), file.c_str()) != 0) {
        ok = false;
        error.assign(errno, std::system_category());
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    if (durability == Durability::Synced) sync_folder(file.parent_path());
    return true;
}

}  // namespace corvane
