#include "engine/trace_session.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/clock.h"
#include "engine/history_writer.h"
#include "engine/route_change.h"
#include "engine/route_recheck.h"

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNoHopsText = "No hops found, retrying. Is ICMP blocked on this network?";

// Sleeps in monitor ticks so that a stop is noticed within one of them;
// false when the stop came.
bool pause_unless_stopped(int total_ms, const std::atomic<bool>& stop) {
    for (int slept = 0; slept < total_ms; slept += kMonitorTickMs) {
        if (stop.load()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kMonitorTickMs, total_ms - slept)));
    }
    return !stop.load();
}

// Longest a stopping monitor waits for a probe round still in flight: one
// echo time-out and one wait slice, with room to spare.
constexpr std::chrono::milliseconds kProbeDrainLimit{1500};

}  // namespace

void set_status_unless_stopped(const SharedTraceState& state, const std::atomic<bool>& stop, const std::string& text) {
    std::lock_guard lock(state->mutex);
    // The stop sets its flag before it takes this lock to write "Stopped", so
    // a flag seen clear here means "Stopped" has not been written yet.
    if (!stop.load()) state->state.status = text;
}

void trace_target_thread(std::string target, SharedTraceState state, SharedSettingsPtr settings, StopFlag stop) {
    const std::atomic<bool>& stopped = *stop;
    set_status_unless_stopped(state, stopped, "Resolving");
    const std::optional<Ipv4Addr> addr = resolve_ipv4(target);
    if (!addr) {
        set_status_unless_stopped(state, stopped, "Could not resolve that name to an IPv4 address");
        return;
    }
    // A session stopped while its name resolved makes no writer: nobody will
    // read it, and the program may be ending.
    if (stopped.load()) return;
    {
        auto writer = new_history_writer(settings, target, sanitize_file_name(target), kRouteChangesLog);
        std::lock_guard lock(state->mutex);
        state->state.target_addr = *addr;
        state->state.writer = std::move(writer);
    }
    const std::unique_ptr<IcmpHandle> handle = open_icmp_handle();
    if (!handle->valid()) {
        set_status_unless_stopped(state, stopped, "Could not open an ICMP handle");
        return;
    }
    if (stopped.load()) return;

    set_status_unless_stopped(state, stopped, "Discovering path");
    Route route = discover_route(*handle, *addr, stopped);
    while (route.empty()) {
        if (stopped.load()) return;
        set_status_unless_stopped(state, stopped, kNoHopsText);
        if (!pause_unless_stopped(kRetryPauseMs, stopped)) return;
        set_status_unless_stopped(state, stopped, "Discovering path");
        route = discover_route(*handle, *addr, stopped);
    }
    // A stop that came while the last echo of a discovery was out.
    if (stopped.load()) return;

    const TraceSession session{target, *addr, state, settings, stop};
    StopFlag generation = new_stop_flag(false);
    rebuild_hops_and_spawn_probes(session, {}, route, generation);
    push_route_event(state, RouteEventKind::Info, "Path discovered, " + std::to_string(route.size()) + " hops");
    set_status_unless_stopped(state, stopped, "Monitoring");

    Clock::time_point last_discovery = monotonic_now();
    std::shared_ptr<HistoryWriter> writer;
    {
        std::lock_guard lock(state->mutex);
        writer = state->state.writer;
    }

    for (std::uint64_t tick = 1;; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kMonitorTickMs));
        if (tick % kFlushEveryTicks == 0 && writer) flush_history_csv(*writer);
        if (stopped.load()) {
            generation->store(true);
            // The rows of rounds still in flight belong in the final flush.
            session.crew->wait_empty_for(kProbeDrainLimit);
            if (writer) flush_history_csv(*writer);
            return;
        }
        const std::uint64_t route_secs = settings->route_secs.load();
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(monotonic_now() - last_discovery);
        if (route_secs == 0 || static_cast<std::uint64_t>(elapsed.count()) < route_secs) continue;

        const Route fresh = recheck_route(*handle, *addr, stopped, route);
        last_discovery = monotonic_now();
        {
            std::lock_guard lock(state->mutex);
            state->state.last_trace_ms = now_unix_ms();
        }
        // An empty route (nothing answered, or a stop) changes nothing.
        handle_route_change(session, route, generation, fresh);
    }
}

}  // namespace corvane
