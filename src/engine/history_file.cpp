#include "engine/history_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace corvane {

namespace {

ssize_t system_write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

std::atomic<HistoryWriteFn> g_write_fn{&system_write};

}  // namespace

void set_history_write_function(HistoryWriteFn fn) { g_write_fn.store(fn ? fn : &system_write); }

std::unique_ptr<HistoryFile> HistoryFile::create_new(const std::filesystem::path& path, int& error) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::unique_ptr<HistoryFile>(new HistoryFile(fd, path));
}

HistoryFile::HistoryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {
    buffer_.reserve(kHistoryBufferSize);
}

HistoryFile::~HistoryFile() {
    flush();
    cut_partial_row();
    ::close(fd_);
}

int HistoryFile::write(std::string_view data) {
    int err = 0;
    if (buffer_.size() + data.size() > kHistoryBufferSize) err = flush();
    if (data.size() >= kHistoryBufferSize) {
        const int e = write_out(data);
        return err ? err : e;
    }
    buffer_.append(data);
    return err;
}

int HistoryFile::flush() {
    if (buffer_.empty()) return 0;
    const int err = write_out(buffer_);
    buffer_.clear();
    return err;
}

int HistoryFile::write_out(std::string_view data) {
    if (const int e = cut_partial_row()) return e;
    return raw_write(data);
}

// A row torn by a full disk is removed rather than ended with a line feed:
// as a line of its own it would be a row of wrong fields to every reader.
int HistoryFile::cut_partial_row() {
    if (written_ == complete_) return 0;
    if (::ftruncate(fd_, complete_) != 0 || ::lseek(fd_, complete_, SEEK_SET) < 0) return errno;
    written_ = complete_;
    return 0;
}

int HistoryFile::raw_write(std::string_view data) {
    const HistoryWriteFn fn = g_write_fn.load();
    while (!data.empty()) {
        const ssize_t n = fn(fd_, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;  // a regular file never accepts nothing; don't spin
        const std::string_view taken = data.substr(0, static_cast<std::size_t>(n));
        written_ += n;
        if (const std::size_t last = taken.rfind('\n'); last != std::string_view::npos)
            complete_ = written_ - static_cast<off_t>(taken.size() - last - 1);
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace corvane
