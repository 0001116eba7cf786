#pragma once
// The threads of a watch session: one per host, and one that pushes the
// history file to disk.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/history_writer.h"
#include "engine/monitor_state.h"
#include "engine/shared_settings.h"

namespace corvane {

inline constexpr std::uint8_t kWatchTtl = 128;
inline constexpr const char* kNameDoesNotResolve = "Name does not resolve";
inline constexpr const char* kNoIcmpHandle = "Could not open an ICMP handle";

// What one session's threads share besides the state: the stop flag, and the
// count of host threads still running, so the flush thread's last flush comes
// after every host's last row.
struct WatchSessionLife {
    std::shared_ptr<std::atomic<bool>> stop;
    std::atomic<std::size_t> hosts_running{0};

    // Uncounts one host thread and wakes the flush thread.
    void host_ended() {
        hosts_running.fetch_sub(1);
        hosts_running.notify_all();
    }
};
using WatchSessionLifePtr = std::shared_ptr<WatchSessionLife>;

struct WatchHostContext {
    std::string host;
    std::optional<std::string> label;
    SharedTraceState state;
    SharedSettingsPtr settings;
    WatchSessionLifePtr life;
    HistoryWriterPtr writer;
    std::size_t index = 0;
    std::chrono::milliseconds resolve_period{300'000};
};

// The caller has already counted this thread in life->hosts_running; the
// thread uncounts itself when it ends.
void watch_host_thread(WatchHostContext ctx);

// Flushes the writer every second; once the stop flag is set and every host
// thread has ended, flushes a last time and ends. It waits on the settings'
// wake signal, like the host threads, so a stop ends it at once.
void history_flush_thread(WatchSessionLifePtr life, HistoryWriterPtr writer, SharedSettingsPtr settings);

}  // namespace corvane
