#pragma once
// The per-session history CSV file and the event logs shared by all sessions
// of a kind.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/history_file.h"
#include "engine/monitor_state.h"
#include "engine/shared_settings.h"
#include "platform/ipv4.h"

namespace corvane {

inline constexpr const char* kHistoryHeader = "time,unix_ms,target,hop,address,rtt_ms,result";
inline constexpr const char* kRouteChangesLog = "route-changes.log";
inline constexpr const char* kWatchEventsLog = "watch-events.log";

// One session's history file and event log, shared by the session's threads.
// Lock order: file_mutex, then folder_mutex, then the settings' history
// folder, then a TraceState mutex; never a writer lock while holding a
// TraceState mutex.
class HistoryWriter {
public:
    // Sessions make theirs with new_history_writer, which also registers it
    // for flush_all_history_writers.
    HistoryWriter(SharedSettingsPtr settings, std::string name, std::string base, std::string log_name,
                  std::int64_t created_ms);
    // Writes out the rows still buffered.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    const std::string name;      // session name, written into each event-log line
    const std::string base;      // file stem
    const std::string stamp;     // local creation time, "%Y-%m-%d_%H%M%S"
    const SharedSettingsPtr settings;
    const std::string log_name;  // kRouteChangesLog or kWatchEventsLog

    std::mutex folder_mutex;
    std::optional<std::filesystem::path> folder;  // guarded by folder_mutex; set once created

    std::mutex file_mutex;
    std::unique_ptr<HistoryFile> file;  // guarded by file_mutex; the CSV once created

    // Set when the folder or the file could not be created; then nothing more
    // is written. Read without a lock, set under file_mutex or folder_mutex.
    std::atomic<bool> failed{false};

    const std::int64_t created_ms;  // the instant `stamp` shows
    // Guarded by file_mutex: a failed row write is reported once per session;
    // a failure seen where no state is at hand waits here for the next row.
    bool write_error_seen = false;
    std::optional<std::string> unreported_write_error;
    // The event log's first failure is reported too, once per session; it
    // stops nothing else.
    std::atomic<bool> event_log_error_seen{false};
};

using HistoryWriterPtr = std::shared_ptr<HistoryWriter>;

HistoryWriterPtr new_history_writer(SharedSettingsPtr settings, std::string name, std::string base,
                                    std::string log_name);

void write_history_row(HistoryWriter& writer, const SharedTraceState& state, std::uint32_t hop_index,
                       const std::string& target, std::optional<Ipv4Addr> addr,
                       std::optional<std::uint32_t> rtt_ms);
void flush_history_csv(HistoryWriter& writer);
void append_event_log_line(HistoryWriter& writer, const SharedTraceState& state, const std::string& text);
std::optional<std::filesystem::path> ensure_history_folder(HistoryWriter& writer, const SharedTraceState& state);

// Flushes every writer still alive; the window calls it when the program ends.
void flush_all_history_writers();

// Every character but ASCII letters, digits, "-" and "." becomes one "_"
// (a non-ASCII character, however many bytes, too).
std::string sanitize_file_name(const std::string& text);

// <local data folder>/Corvane/History; creates nothing.
std::filesystem::path default_history_dir();

}  // namespace corvane
