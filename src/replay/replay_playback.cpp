#include "replay/replay_playback.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "engine/duration_text.h"
#include "engine/reverse_lookup.h"
#include "replay/saturating.h"

namespace corvane {

namespace {

constexpr std::size_t kMinCheckpointSpacing = 16384;
constexpr double kMaxFrameSeconds = 0.25;
constexpr auto kDnsPassInterval = std::chrono::milliseconds(500);

// Everything of a hop but its rings and its name.
void copy_hop_counters(HopStats& dst, const HopStats& src) {
    dst.name.reset();
    dst.host = src.host;
    dst.label = src.label;
    dst.error = src.error;
    dst.rtt_sum = src.rtt_sum;
    dst.jitter = src.jitter;
    dst.sent = src.sent;
    dst.received = src.received;
    dst.last = src.last;
    dst.best = src.best;
    dst.worst = src.worst;
    dst.addr = src.addr;
}

void take_checkpoint(ReplaySession& s, const TraceState& st) {
    ReplayCheckpoint cp;
    cp.index = s.next_index;
    cp.event_count = st.events.size();
    cp.hops.resize(st.hops.size());
    for (std::size_t i = 0; i < st.hops.size(); ++i) copy_hop_counters(cp.hops[i], st.hops[i]);
    cp.fail_counts = s.fail_counts;
    cp.first_fail_ms = s.first_fail_ms;
    cp.down_since = s.down_since;
    s.checkpoints.points.push_back(std::move(cp));
}

// Puts the fed state back to checkpoint `cp`, whose events must be a prefix
// of the state's.
void restore_checkpoint(ReplaySession& s, TraceState& st, const ReplayCheckpoint& cp) {
    const ReplayCheckpoints& c = s.checkpoints;
    st.hops.resize(cp.hops.size());
    for (std::size_t h = 0; h < cp.hops.size(); ++h) {
        HopStats& hop = st.hops[h];
        copy_hop_counters(hop, cp.hops[h]);
        hop.samples.clear();
        hop.sample_times.clear();
        // The hop's ring holds its last samples fed, at most the cap.
        const std::size_t fed = cp.hops[h].sent;
        const std::size_t hop_number = h + 1;
        if (fed == 0 || hop_number >= c.hop_begin.size() - 1) continue;
        const std::size_t first = c.hop_begin[hop_number];
        const std::size_t from = fed > kSampleCap ? fed - kSampleCap : 0;
        for (std::size_t k = from; k < fed; ++k) {
            const PackedSample& p = s.samples.packed(c.by_hop[first + k]);
            hop.samples.push_back((p.flags & PackedSample::kHasRtt) ? static_cast<Sample>(p.rtt) : kLostSample);
            hop.sample_times.push_back(p.time_ms());
        }
    }
    st.events.cut_to(cp.event_count);
    s.fail_counts = cp.fail_counts;
    s.first_fail_ms = cp.first_fail_ms;
    s.down_since = cp.down_since;
    s.next_index = cp.index;
}

void feed_sample(ReplaySession& s, TraceState& st, const ReplaySample& smp) {
    const std::size_t h = static_cast<std::size_t>(smp.hop - 1);
    if (st.hops.size() < smp.hop) {
        const std::size_t old = st.hops.size();
        st.hops.resize(static_cast<std::size_t>(smp.hop));
        if (s.is_watch) {
            for (std::size_t i = old; i < st.hops.size(); ++i) {
                if (i < s.host_names.size() && s.host_names[i]) st.hops[i].label = *s.host_names[i];
            }
        }
    }
    HopStats& hop = st.hops[h];
    std::optional<std::string> text;
    RouteEventKind kind = RouteEventKind::Info;

    if (!s.is_watch) {
        if (smp.addr && hop.addr != smp.addr) {
            if (hop.addr) {
                text = "Hop " + std::to_string(smp.hop) + " changed from " + hop.addr->to_string() + " to " +
                       smp.addr->to_string();
                kind = RouteEventKind::RouteChange;
            }
            hop.addr = smp.addr;
            hop.name.reset();
        }
    } else {
        static const std::string kNoName;
        const std::string& display =
            h < s.host_names.size() && s.host_names[h] ? *s.host_names[h] : kNoName;
        if (smp.rtt) {
            if (s.down_since[h]) {
                text = display + " is back up after " +
                       format_duration_ms(saturating_sub(smp.time_ms, *s.down_since[h]));
                kind = RouteEventKind::HostUp;
            }
            s.down_since[h].reset();
            s.fail_counts[h] = 0;
        } else {
            if (s.fail_counts[h] == 0) s.first_fail_ms[h] = smp.time_ms;
            if (s.fail_counts[h] < std::numeric_limits<std::uint32_t>::max()) ++s.fail_counts[h];
            if (s.fail_counts[h] == 3 && !s.down_since[h]) {
                s.down_since[h] = s.first_fail_ms[h];
                text = display + " is down";
                kind = RouteEventKind::HostDown;
            }
        }
        if (smp.addr && hop.addr != smp.addr) {
            hop.addr = smp.addr;
            hop.name.reset();
        }
    }

    hop_stats_record(hop, smp.rtt, smp.time_ms);
    if (text) st.events.push_back(RouteEvent{std::move(*text), std::nullopt, smp.time_ms, kind});
    s.next_index += 1;

    const ReplayCheckpoints& c = s.checkpoints;
    if (c.spacing != 0 && s.next_index % c.spacing == 0 && c.points.size() == s.next_index / c.spacing - 1) {
        take_checkpoint(s, st);
    }
}

// The checkpoint to rebuild from when `target` samples are to be fed and the
// state holds `fed` of them now, if any is usable.
const ReplayCheckpoint* checkpoint_for(const ReplaySession& s, std::size_t target, std::size_t fed) {
    const ReplayCheckpoints& c = s.checkpoints;
    if (c.spacing == 0 || c.points.empty()) return nullptr;
    const std::size_t limit = std::min(target, fed);
    const std::size_t k = limit / c.spacing;  // checkpoints 1..k lie at or below limit
    if (k == 0) return nullptr;
    const std::size_t idx = std::min(k, c.points.size()) - 1;
    return &c.points[idx];
}

}  // namespace

std::int64_t position_to_ms(double position) {
    if (std::isnan(position)) return 0;
    if (position >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (position <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(position);
}

void prepare_replay_checkpoints(ReplaySession& s) {
    ReplayCheckpoints& c = s.checkpoints;
    c = ReplayCheckpoints{};
    const std::size_t n = s.samples.size();
    if (n == 0 || n > std::numeric_limits<std::uint32_t>::max()) return;
    c.hop_begin.assign(kMaxReplayHop + 2, 0);
    std::size_t max_hop = 0;
    for (const PackedSample& p : s.samples) {
        ++c.hop_begin[p.hop + 1];
        max_hop = std::max<std::size_t>(max_hop, p.hop);
    }
    for (std::size_t h = 1; h < c.hop_begin.size(); ++h) c.hop_begin[h] += c.hop_begin[h - 1];
    c.by_hop.resize(n);
    std::vector<std::size_t> fill(c.hop_begin.begin(), c.hop_begin.end() - 1);
    for (std::size_t i = 0; i < n; ++i) c.by_hop[fill[s.samples.hop(i)]++] = static_cast<std::uint32_t>(i);
    // A snapshot costs about one hop record per hop; keep them sparse enough
    // that they stay small beside the samples.
    c.spacing = std::max(kMinCheckpointSpacing, 64 * max_hop);
}

void replay_advance_to(ReplaySession& s, double x) {
    {
        std::lock_guard lock(s.state->mutex);
        TraceState& st = s.state->state;
        if (s.next_index == 0 && !s.samples.empty()) {
            st.events.push_back(RouteEvent{"Recording started", std::nullopt, s.start_ms, RouteEventKind::Info});
        }
        while (s.next_index < s.samples.size() && x >= static_cast<double>(s.samples.time_ms(s.next_index))) {
            feed_sample(s, st, s.samples[s.next_index]);
        }
        if (!s.is_watch && !st.target_addr && !st.hops.empty()) st.target_addr = st.hops.back().addr;
    }
    s.position_ms = x;
}

void replay_seek(ReplaySession& s, double x) {
    const double lo = static_cast<double>(s.start_ms);
    const double hi = static_cast<double>(s.end_ms);
    // NaN clamps to the start: every comparison with it is false.
    const double t = std::isnan(x) ? lo : std::clamp(x, lo, hi);
    if (s.position_ms > t || s.next_index == 0) {
        std::lock_guard lock(s.state->mutex);
        TraceState& st = s.state->state;
        const std::size_t target = s.samples.upper_bound_time(t);
        if (const ReplayCheckpoint* cp = checkpoint_for(s, target, s.next_index);
            cp && cp->event_count <= st.events.size()) {
            restore_checkpoint(s, st, *cp);
        } else {
            st.hops.clear();
            st.events.clear();
            s.next_index = 0;
            std::fill(s.fail_counts.begin(), s.fail_counts.end(), 0u);
            for (auto& d : s.down_since) d.reset();
        }
    }
    replay_advance_to(s, t);
    s.last_tick.reset();
    start_missing_reverse_lookups(s.state);
}

std::int64_t playback_clock_step(ReplaySession& s, PlaybackFrame& frame) {
    const MonotonicTime now = frame.now;
    if (s.playing) {
        if (s.last_tick) {
            double dt = now > *s.last_tick ? std::chrono::duration<double>(now - *s.last_tick).count() : 0.0;
            dt = std::min(dt, kMaxFrameSeconds);
            const double target = std::min(s.position_ms + static_cast<double>(s.speed) * dt * 1000.0,
                                           static_cast<double>(s.end_ms));
            replay_advance_to(s, target);
            if (position_to_ms(s.position_ms) >= s.end_ms) s.playing = false;
        }
        s.last_tick = now;
    }
    if (std::chrono::duration_cast<std::chrono::milliseconds>(now - s.last_dns_pass) > kDnsPassInterval) {
        s.last_dns_pass = now;
        start_missing_reverse_lookups(s.state);
    }
    if (s.playing) frame.repaint_now = true;
    return position_to_ms(s.position_ms);
}

}  // namespace corvane
