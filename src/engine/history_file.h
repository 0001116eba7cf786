#pragma once
// The open history CSV file: a descriptor behind a buffer of our own rather
// than a stdio stream, so that after a failed write we know whether a partial
// row reached the disk and can cut it off before the next row.
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::size_t kHistoryBufferSize = 8192;

// The system call every history file write goes through. Tests put a failing
// one in place to play a full disk; nullptr restores write(2).
using HistoryWriteFn = ssize_t (*)(int fd, const void* data, std::size_t size);
void set_history_write_function(HistoryWriteFn fn);

class HistoryFile {
public:
    // Creates the file, failing (error EEXIST) rather than replacing one that
    // exists. On failure returns null and stores the errno in `error`.
    static std::unique_ptr<HistoryFile> create_new(const std::filesystem::path& path, int& error);

    // Writes out what is still buffered (errors go nowhere), cuts off a
    // partial row left by a failed write, and closes.
    ~HistoryFile();
    HistoryFile(const HistoryFile&) = delete;
    HistoryFile& operator=(const HistoryFile&) = delete;

    // Buffers `data`, writing the buffer out first when it would overflow.
    // Returns 0, or the errno of a failed write; the bytes that failed are
    // dropped, `data` itself is kept when only the older buffer failed.
    int write(std::string_view data);
    // Writes the buffer out; 0 or the errno of the failure (buffer dropped).
    int flush();

    const std::filesystem::path& path() const { return path_; }
    std::size_t buffered() const { return buffer_.size(); }

private:
    HistoryFile(int fd, std::filesystem::path path);
    int write_out(std::string_view data);
    int raw_write(std::string_view data);
    int cut_partial_row();

    int fd_;
    std::filesystem::path path_;
    std::string buffer_;
    // Bytes that reached the file, and how many of them end with its last
    // line feed; they differ after a write failed halfway through a row.
    off_t written_ = 0;
    off_t complete_ = 0;
};

}  // namespace corvane
