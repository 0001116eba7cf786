#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/history_writer.h"
#include "engine/hop_records.h"
#include "engine/reverse_lookup.h"
#include "engine/trace_session.h"
#include "engine/worker_start.h"
#include "platform/detached_thread.h"

namespace corvane {

void ProbeCrew::joined() {
    std::lock_guard lock(mutex_);
    ++running_;
}

void ProbeCrew::left() {
    {
        std::lock_guard lock(mutex_);
        --running_;
    }
    cv_.notify_all();
}

bool ProbeCrew::wait_empty_for(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, limit, [this] { return running_ == 0; });
}

int ProbeCrew::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void rebuild_hops_and_spawn_probes(const TraceSession& session, const Route& previous, const Route& route,
                                   const StopFlag& generation) {
    {
        std::lock_guard lock(session.state->mutex);
        TraceState& st = session.state->state;
        st.hops = carry_hop_records(st.hops, previous, route, session.target_addr);
        for (std::size_t j = 0; j < route.size(); ++j) {
            if (route[j]) request_reverse_lookup(st, session.state, j, *route[j]);
        }
    }
    for (std::size_t j = 0; j < route.size(); ++j) {
        // Counted before the start, so a stop can't find the crew empty while
        // a thread is on its way.
        session.crew->joined();
        const int err = start_detached_thread([session, generation, j] { hop_probe_thread(session, generation, j); });
        std::optional<std::string> error;
        if (err != 0) {
            session.crew->left();
            error = probe_thread_error_text(err);
        }
        // A hop kept from the last route may still carry the error of a probe
        // thread that could not start then.
        std::lock_guard lock(session.state->mutex);
        TraceState& st = session.state->state;
        if (j < st.hops.size() && st.hops[j].error != error) st.hops[j].error = std::move(error);
    }
}

namespace {

// Leaves the crew when the probe thread ends, after its handle is closed and
// its last writer reference dropped.
struct CrewLeave {
    ProbeCrew& crew;
    ~CrewLeave() { crew.left(); }
};

}  // namespace

void hop_probe_thread(TraceSession session, StopFlag generation, std::size_t hop_index) {
    const CrewLeave leave{*session.crew};
    const std::atomic<bool>& stopped = *session.stop;
    const std::atomic<bool>& ended = *generation;
    const std::unique_ptr<IcmpHandle> handle = open_icmp_handle();
    if (!handle->valid() || stopped.load()) return;
    const auto ttl = static_cast<std::uint8_t>(hop_index + 1);

    for (;;) {
        if (ended.load()) return;
        const auto t0 = std::chrono::steady_clock::now();
        const EchoReply reply = send_icmp_echo(*handle, session.target_addr, ttl);
        const std::optional<Ipv4Addr> addr = reply.failed ? std::nullopt : std::optional<Ipv4Addr>(reply.addr);
        const std::optional<std::uint32_t> rtt =
            reply.failed ? std::nullopt : std::optional<std::uint32_t>(reply.rtt_ms);

        std::shared_ptr<HistoryWriter> writer;
        {
            std::lock_guard lock(session.state->mutex);
            TraceState& st = session.state->state;
            if (hop_index < st.hops.size()) {
                HopStats& hop = st.hops[hop_index];
                if (addr && hop.addr != addr) {
                    hop.addr = addr;
                    hop.name.reset();
                    record_sample_now(hop, rtt);
                    request_reverse_lookup(st, session.state, hop_index, *addr);
                } else {
                    record_sample_now(hop, rtt);
                }
            }
            writer = st.writer;
        }
        // Also when the table has shrunk under a round in flight: the probe
        // went out and belongs in the history.
        if (writer) write_history_row(*writer, session.state, hop_index, session.target, addr, rtt);
        writer.reset();

        for (;;) {
            if (stopped.load() || ended.load()) return;
            const auto interval = std::chrono::milliseconds(session.settings->probe_ms.load());
            const auto remaining = interval - std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - t0);
            if (remaining <= std::chrono::milliseconds::zero()) break;
            std::this_thread::sleep_for(std::min(remaining, std::chrono::milliseconds(kProbeSliceMs)));
        }
        if (stopped.load()) return;
    }
}

}  // namespace corvane
