#pragma once
// Reading files that the user, or another program, may have replaced by a
// FIFO, a device or a link to one: such a file would block the open or never
// end, and the UI thread reads these files.
#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace corvane {

// What tells one version of a file from another without reading it: a
// rewrite through a rename gives a new inode, one in place new times.
struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    bool operator==(const FileIdentity& o) const;
};
FileIdentity file_identity_of(const struct stat& st);

// The identity of the file `path` leads to (links followed) when it is a
// regular file; nothing otherwise. Opens nothing.
std::optional<FileIdentity> regular_file_identity(const std::filesystem::path& path);

// A regular file open for reading. The open does not wait (O_NONBLOCK) and is
// refused after it when the descriptor is not a regular file.
class RegularFile {
public:
    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Why the file is not open: the system's error code, or 0 with
    // not_regular() set.
    int error() const { return error_; }
    bool not_regular() const { return not_regular_; }
    const FileIdentity& identity() const { return identity_; }

    // The rest of the file; nothing when a read fails (error() then tells
    // why) or when it holds more than `max_bytes` (error() is EFBIG).
    std::optional<std::string> read_rest(std::size_t max_bytes);

private:
    int fd_ = -1;
    int error_ = 0;
    bool not_regular_ = false;
    FileIdentity identity_;
};

}  // namespace corvane
