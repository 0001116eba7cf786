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

#include "engine/monitor_state.h"
#include "engine/shared_settings.h"
#include "platform/ipv4.h"

namespace corvane {

inline constexpr const char* kHistoryHeader = "time,unix_ms,target,hop,address,rtt_ms,result";
inline constexpr const char* kRouteChangesLog = "route-changes.log";
inline constexpr const char* kWatchEventsLog = "watch-events.log";

class HistoryWriter;
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
