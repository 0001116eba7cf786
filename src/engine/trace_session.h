#pragma once
// The worker threads of one trace session: the monitor thread that resolves,
// discovers and re-checks the route, and one probe thread per hop.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "engine/echo.h"
#include "engine/monitor_state.h"
#include "engine/shared_settings.h"
#include "platform/ipv4.h"

namespace corvane {

// true = stopped (a session's stop flag) or ended (a route generation's flag).
using StopFlag = std::shared_ptr<std::atomic<bool>>;
inline StopFlag new_stop_flag(bool value) { return std::make_shared<std::atomic<bool>>(value); }

inline constexpr int kMonitorTickMs = 250;
inline constexpr int kFlushEveryTicks = 4;
inline constexpr int kRetryPauseMs = 3000;
inline constexpr int kProbeSliceMs = 100;

// Counts a session's running probe threads, so that the monitor thread can
// flush the history once more after the last of them has written its row.
class ProbeCrew {
public:
    void joined();
    void left();
    // Waits until no probe thread runs or the time is up; true when none runs.
    bool wait_empty_for(std::chrono::milliseconds limit);
    int running() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    int running_ = 0;
};

// What every thread of a session shares and never changes.
struct TraceSession {
    std::string target;  // trimmed; also the history writer's session name
    Ipv4Addr target_addr;
    SharedTraceState state;
    SharedSettingsPtr settings;
    StopFlag stop;
    std::shared_ptr<ProbeCrew> crew = std::make_shared<ProbeCrew>();
};

// Sets the status unless the session has been stopped: a worker must never
// write over the "Stopped" that the stop put there.
void set_status_unless_stopped(const SharedTraceState& state, const std::atomic<bool>& stop,
                               const std::string& text);

void trace_target_thread(std::string target, SharedTraceState state, SharedSettingsPtr settings, StopFlag stop);

// Installs the hop table of `route` in place of the one built for
// `previous` (empty at the first), keeping the records that still hold one
// router's history alone (carry_hop_records), and starts one probe thread
// per hop.
void rebuild_hops_and_spawn_probes(const TraceSession& session, const Route& previous, const Route& route,
                                   const StopFlag& generation);

void hop_probe_thread(TraceSession session, StopFlag generation, std::size_t hop_index);

}  // namespace corvane
