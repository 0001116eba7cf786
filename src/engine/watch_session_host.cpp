#include <cstdint>

#include "engine/clock.h"
#include "engine/echo.h"
#include "engine/reverse_lookup.h"
#include "engine/watch_session.h"
#include "engine/watch_session_outage.h"

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

// Uncounts the host thread however it ends, and wakes the flush thread.
class HostRunning {
public:
    explicit HostRunning(WatchSessionLife& life) : life_(life) {}
    ~HostRunning() { life_.host_ended(); }
    HostRunning(const HostRunning&) = delete;
    HostRunning& operator=(const HostRunning&) = delete;

private:
    WatchSessionLife& life_;
};

// Sets a host's error text, unless it already reads so (no allocation then).
void set_host_error(HopStats& hop, const char* text) {
    if (!hop.error || *hop.error != text) hop.error = text;
}

struct Resolution {
    bool resolved = false;
    Ipv4Addr current{};
    Clock::time_point last_attempt{};
};

void resolve_step(const WatchHostContext& ctx, Resolution& res, Clock::time_point cycle_start) {
    if (res.resolved && cycle_start - res.last_attempt <= ctx.resolve_period) return;
    const std::optional<Ipv4Addr> found = resolve_ipv4(ctx.host);
    res.last_attempt = Clock::now();

    std::lock_guard lock(ctx.state->mutex);
    TraceState& st = ctx.state->state;
    HopStats* hop = ctx.index < st.hops.size() ? &st.hops[ctx.index] : nullptr;
    if (!found) {
        // A host that resolved once keeps being pinged at its old address.
        if (hop) set_host_error(*hop, kNameDoesNotResolve);
        return;
    }
    if (hop) {
        hop->error.reset();
        if (hop->addr != found) {
            hop->addr = *found;
            hop->name.reset();
        }
    }
    if (!res.resolved || *found != res.current) {
        request_reverse_lookup(st, ctx.state, ctx.index, *found);
        res.current = *found;
    }
    res.resolved = true;
}

// Sleeps until the probe interval since the cycle start has passed. A stop or
// a new interval wakes it early, rather than it waking now and then to look:
// a thousand hosts looking ten times a second cost more than their pings.
// The interval is re-read after every wake-up, so a new setting applies at
// once.
void wait_for_next_cycle(const WatchHostContext& ctx, Clock::time_point cycle_start) {
    WakeSignal& changes = ctx.settings->changes;
    for (;;) {
        const std::uint64_t seen = changes.count();  // before the values it guards
        if (ctx.life->stop->load()) return;
        const auto due = cycle_start + std::chrono::milliseconds(ctx.settings->probe_ms.load());
        if (Clock::now() >= due) return;
        // Waiting to an instant rather than for a span keeps the wake-ups from
        // adding up their delays.
        changes.wait_until(due, seen);
    }
}

}  // namespace

void watch_host_thread(WatchHostContext ctx) {
    HostRunning running(*ctx.life);
    std::unique_ptr<IcmpHandle> handle = open_icmp_handle();
    if (!handle->valid()) {
        // Without a handle the host could never be pinged; say so rather than
        // leave it waiting for ever.
        std::lock_guard lock(ctx.state->mutex);
        if (ctx.index < ctx.state->state.hops.size()) set_host_error(ctx.state->state.hops[ctx.index], kNoIcmpHandle);
        return;
    }
    if (ctx.life->stop->load()) return;

    const std::string& display = ctx.label ? *ctx.label : ctx.host;
    Resolution res;
    WatchOutage outage;
    for (;;) {
        const Clock::time_point cycle_start = Clock::now();
        resolve_step(ctx, res, cycle_start);

        // A host that never resolved is not pinged and records nothing.
        if (res.resolved) {
            const EchoReply reply = send_icmp_echo(*handle, res.current, kWatchTtl);
            // Only the destination's own answer counts: a router's report or
            // a reply from some other address is a loss.
            std::optional<std::uint32_t> rtt;
            if (!reply.failed && reply.reached && reply.addr == res.current) rtt = reply.rtt_ms;

            const std::int64_t now = now_unix_ms();
            std::optional<RouteEvent> event = outage.record(rtt.has_value(), now, display);
            std::optional<std::string> log_text;
            {
                std::lock_guard lock(ctx.state->mutex);
                TraceState& st = ctx.state->state;
                if (ctx.index < st.hops.size()) hop_stats_record(st.hops[ctx.index], rtt, now);
                if (event) {
                    log_text = event->text;
                    st.events.push_back(std::move(*event));
                }
            }
            write_history_row(*ctx.writer, ctx.state, static_cast<std::uint32_t>(ctx.index), display, res.current,
                              rtt);
            if (log_text) append_event_log_line(*ctx.writer, ctx.state, *log_text);
        }

        wait_for_next_cycle(ctx, cycle_start);
        if (ctx.life->stop->load()) return;
    }
}

}  // namespace corvane
