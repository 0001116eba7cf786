#include "engine/history_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "engine/clock.h"
#include "engine/history_format.h"
#include "platform/app_dirs.h"
#include "platform/os_error.h"

namespace corvane {

namespace {

// How many later seconds a file name may borrow when its own is taken.
constexpr int kMaxStampTries = 3600;

// Every writer alive, for the last flush at the end. Never destroyed: a
// detached session thread may make its writer while the process exits.
struct WriterRegistry {
    std::mutex mutex;
    std::vector<std::weak_ptr<HistoryWriter>> writers;
};

WriterRegistry& registry() {
    static WriterRegistry* r = new WriterRegistry;
    return *r;
}

void register_writer(const HistoryWriterPtr& writer) {
    WriterRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.writers, [](const auto& w) { return w.expired(); });
    r.writers.push_back(writer);
}

std::string write_error_text(const std::filesystem::path& path, int err) {
    return "Could not write " + path.string() + ": " + os_error_text(err);
}

void set_history_error(const SharedTraceState& state, std::string text) {
    std::lock_guard lock(state->mutex);
    state->state.history_error = std::move(text);
}

// With file_mutex held. `state` may be null (a flush has none at hand).
void note_write_error(HistoryWriter& writer, const SharedTraceState* state, int err) {
    if (writer.write_error_seen) return;
    writer.write_error_seen = true;
    std::string text = write_error_text(writer.file->path(), err);
    if (state) {
        set_history_error(*state, std::move(text));
    } else {
        writer.unreported_write_error = std::move(text);
    }
}

void note_event_log_error(HistoryWriter& writer, const SharedTraceState& state, const std::filesystem::path& path,
                          int err) {
    if (writer.event_log_error_seen.exchange(true)) return;
    set_history_error(state, write_error_text(path, err));
}

// With file_mutex held. Creates the CSV without ever replacing a file: one
// left by another session started in the same second keeps its rows, and
// this one takes the next free second for its name.
bool open_history_file(HistoryWriter& writer, const SharedTraceState& state, const std::filesystem::path& folder) {
    std::filesystem::path path;
    int err = 0;
    std::unique_ptr<HistoryFile> file;
    for (int k = 0; k < kMaxStampTries; ++k) {
        const std::string stamp = k == 0 ? writer.stamp : history_stamp(writer.created_ms + k * 1000);
        path = folder / history_file_name(writer.base, stamp);
        file = HistoryFile::create_new(path, err);
        if (file || err != EEXIST) break;
    }
    if (!file) {
        writer.failed.store(true);
        set_history_error(state, write_error_text(path, err));
        return false;
    }
    const int header_err = file->write(std::string(kHistoryHeader) + "\n");
    writer.file = std::move(file);
    if (header_err) note_write_error(writer, &state, header_err);
    std::lock_guard lock(state->mutex);
    state->state.history_file = path.string();
    return true;
}

}  // namespace

HistoryWriter::HistoryWriter(SharedSettingsPtr settings_, std::string name_, std::string base_,
                             std::string log_name_, std::int64_t created_ms_)
    : name(std::move(name_)),
      base(std::move(base_)),
      stamp(history_stamp(created_ms_)),
      settings(std::move(settings_)),
      log_name(std::move(log_name_)),
      created_ms(created_ms_) {}

// The HistoryFile's own destructor writes out the buffer.
HistoryWriter::~HistoryWriter() = default;

HistoryWriterPtr new_history_writer(SharedSettingsPtr settings, std::string name, std::string base,
                                    std::string log_name) {
    auto writer = std::make_shared<HistoryWriter>(std::move(settings), std::move(name), std::move(base),
                                                  std::move(log_name), now_unix_ms());
    register_writer(writer);
    return writer;
}

std::optional<std::filesystem::path> ensure_history_folder(HistoryWriter& writer, const SharedTraceState& state) {
    std::lock_guard lock(writer.folder_mutex);
    if (writer.folder) return writer.folder;
    const std::filesystem::path dir = writer.settings->history_dir();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        writer.failed.store(true);
        set_history_error(state, "Could not create " + dir.string() + ": " + os_error_text(ec.value()));
        return std::nullopt;
    }
    writer.folder = dir;
    return dir;
}

void write_history_row(HistoryWriter& writer, const SharedTraceState& state, std::uint32_t hop_index,
                       const std::string& target, std::optional<Ipv4Addr> addr,
                       std::optional<std::uint32_t> rtt_ms) {
    if (!writer.settings->save_history.load() || writer.failed.load()) return;
    std::lock_guard lock(writer.file_mutex);
    if (writer.failed.load()) return;  // latched while we waited for the lock
    if (writer.unreported_write_error) {
        set_history_error(state, std::move(*writer.unreported_write_error));
        writer.unreported_write_error.reset();
    }
    if (!writer.file) {
        const auto folder = ensure_history_folder(writer, state);
        if (!folder || !open_history_file(writer, state, *folder)) return;
    }
    const std::string row = format_history_row(now_unix_ms(), target, hop_index, addr, rtt_ms);
    if (const int err = writer.file->write(row)) note_write_error(writer, &state, err);
}

void flush_history_csv(HistoryWriter& writer) {
    std::lock_guard lock(writer.file_mutex);
    if (!writer.file) return;
    if (const int err = writer.file->flush()) note_write_error(writer, nullptr, err);
}

void append_event_log_line(HistoryWriter& writer, const SharedTraceState& state, const std::string& text) {
    if (!writer.settings->save_history.load() || writer.failed.load()) return;
    const auto folder = ensure_history_folder(writer, state);
    if (!folder) return;
    const std::string line = format_event_log_line(now_unix_ms(), writer.name, text);
    const std::filesystem::path path = *folder / writer.log_name;
    int fd;
    do {
        // A link planted in a shared history folder is not followed, as the
        // CSV files' exclusive creation doesn't follow one.
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        note_event_log_error(writer, state, path, errno);
        return;
    }
    // One write call per line, so lines of sessions appending at once stay whole.
    std::string_view rest = line;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            note_event_log_error(writer, state, path, n < 0 ? errno : EIO);
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
}

void flush_all_history_writers() {
    std::vector<HistoryWriterPtr> live;
    {
        WriterRegistry& r = registry();
        std::lock_guard lock(r.mutex);
        std::erase_if(r.writers, [](const auto& w) { return w.expired(); });
        for (const auto& w : r.writers) {
            if (auto p = w.lock()) live.push_back(std::move(p));
        }
    }
    // Flushed outside the registry lock; dropping `live` may run the last
    // destructor of a writer, which needs no registry lock either.
    for (const auto& w : live) flush_history_csv(*w);
}

std::filesystem::path default_history_dir() { return local_data_dir() / "Corvane" / "History"; }

}  // namespace corvane
