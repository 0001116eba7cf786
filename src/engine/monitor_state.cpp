#include "engine/monitor_state.h"

#include <algorithm>
#include <cstdlib>

#include "engine/clock.h"
#include "engine/history_writer.h"

namespace corvane {

TraceState new_monitor_state() {
    TraceState state;
    state.started_ms = now_unix_ms();
    return state;
}

SharedTraceState make_shared_state(TraceState state) {
    auto shared = std::make_shared<GuardedTraceState>();
    shared->state = std::move(state);
    return shared;
}

TraceState clone_trace_state(const TraceState& state) {
    // Every member copies deeply (the rings are single blocks), except the
    // writer, whose shared_ptr copy is exactly the shared reference we want.
    return state;
}

void hop_stats_record(HopStats& hop, std::optional<std::uint32_t> rtt, std::int64_t time_ms) {
    hop.sent += 1;
    if (rtt) {
        const std::uint32_t r = *rtt;
        if (hop.received > 0) {
            hop.best = std::min(hop.best, r);
            hop.worst = std::max(hop.worst, r);
            const double diff = std::abs(static_cast<double>(r) - static_cast<double>(hop.last));
            hop.jitter = hop.jitter + (diff - hop.jitter) * 0.0625;
        } else {
            hop.best = r;
            hop.worst = r;
        }
        hop.received += 1;
        hop.last = r;
        hop.rtt_sum += r;
    }
    // The rings drop their oldest entry themselves once at the cap, so both
    // stay the same length.
    hop.samples.push_back(rtt ? static_cast<Sample>(*rtt) : kLostSample);
    hop.sample_times.push_back(time_ms);
}

void record_sample_now(HopStats& hop, std::optional<std::uint32_t> rtt) {
    hop_stats_record(hop, rtt, now_unix_ms());
}

void set_trace_status(const SharedTraceState& shared, const std::string& text) {
    std::lock_guard lock(shared->mutex);
    shared->state.status = text;
}

void push_route_event(const SharedTraceState& shared, RouteEventKind kind, const std::string& text,
                      std::optional<std::string> detail) {
    std::shared_ptr<HistoryWriter> writer;
    {
        std::lock_guard lock(shared->mutex);
        RouteEvent ev;
        ev.text = text;
        ev.detail = std::move(detail);
        ev.time_ms = now_unix_ms();
        ev.kind = kind;
        shared->state.events.push_back(std::move(ev));
        writer = shared->state.writer;
    }
    // The log write takes the writer's locks and does file I/O, neither of
    // which may happen under the state's mutex.
    if (writer) append_event_log_line(*writer, shared, text);
}

}  // namespace corvane
