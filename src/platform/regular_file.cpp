#include "platform/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace corvane {

bool FileIdentity::operator==(const FileIdentity& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
}

FileIdentity file_identity_of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

std::optional<FileIdentity> regular_file_identity(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return file_identity_of(st);
}

RegularFile::RegularFile(const std::filesystem::path& path) {
    // Looked at first so that no device is ever opened (opening some has
    // effects of its own); the fstat below settles it for what was opened.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        not_regular_ = true;
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error_ = errno;
        ::close(fd);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        not_regular_ = true;
        ::close(fd);
        return;
    }
    // Reads of a regular file never wait anyway; the flag only served the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    identity_ = file_identity_of(st);
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> RegularFile::read_rest(std::size_t max_bytes) {
    if (fd_ < 0) return std::nullopt;
    if (identity_.size > 0 && static_cast<std::size_t>(identity_.size) > max_bytes) {
        error_ = EFBIG;
        return std::nullopt;
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(identity_.size));
    char buf[16384];
    while (true) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return std::nullopt;
        }
        if (n == 0) return out;
        // The file may have grown since it was opened.
        if (out.size() + static_cast<std::size_t>(n) > max_bytes) {
            error_ = EFBIG;
            return std::nullopt;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace corvane
