#pragma once
// Monitor states as long sessions leave them (every ring full), and the
// samples their probes add between two frames, shared by the benchmarks of
// the window's frame and of its snapshot.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/monitor_state.h"

namespace corvane::bench {

inline constexpr std::int64_t kFirstSampleMs = 1'700'000'000'000;

// A 30-hop trace, every hop named.
inline void add_full_trace_hops(TraceState& state) {
    for (std::uint8_t h = 0; h < 30; ++h) {
        HopStats hop;
        hop.addr = Ipv4Addr(10, 77, h, 1);
        hop.name = "hop-" + std::to_string(h) + ".core.backbone.example.net";
        for (std::uint32_t i = 0; i < kSampleCap + 100; ++i)
            hop_stats_record(hop, i % 17 == 0 ? std::nullopt : std::optional<std::uint32_t>(10 + h + i % 7),
                             kFirstSampleMs + i * 1000);
        state.hops.push_back(std::move(hop));
    }
}

// Sample `i` of watched host `h`, one a second: nine hosts in ten are up,
// losing one probe in 97; the tenth loses one in 23 and counts as degraded.
inline std::optional<std::uint32_t> watch_sample(std::size_t h, std::int64_t i) {
    const bool lost = i % (h % 10 == 0 ? 23 : 97) == 0;
    return lost ? std::nullopt : std::optional<std::uint32_t>(5 + h % 40 + i % 9);
}

// A watch list of `count` hosts.
inline void add_full_watch_hosts(TraceState& state, std::uint32_t count) {
    for (std::uint32_t h = 0; h < count; ++h) {
        HopStats host;
        host.host = "10.78." + std::to_string(h / 250) + "." + std::to_string(h % 250 + 1);
        host.addr = Ipv4Addr(10, 78, static_cast<std::uint8_t>(h / 250), static_cast<std::uint8_t>(h % 250 + 1));
        for (std::uint32_t i = 0; i < kSampleCap; ++i) hop_stats_record(host, watch_sample(h, i), kFirstSampleMs + i * 1000);
        state.hops.push_back(std::move(host));
    }
}

// What the probe threads record between two frames: every hop or host
// answers once a second, in turn, one second after its last sample.
class ProbeFeed {
public:
    explicit ProbeFeed(int frames_per_second) : frame_seconds_(1.0 / frames_per_second) {}

    // The caller holds the state's lock.
    void between_frames(TraceState& state) {
        due_ += static_cast<double>(state.hops.size()) * frame_seconds_;
        for (; due_ >= 1.0; due_ -= 1.0, next_ = (next_ + 1) % state.hops.size()) {
            HopStats& hop = state.hops[next_];
            const std::int64_t t = hop.sample_times.back() + 1000;
            hop_stats_record(hop, watch_sample(next_, (t - kFirstSampleMs) / 1000), t);
        }
    }

private:
    double frame_seconds_;
    double due_ = 0.0;
    std::size_t next_ = 0;
};

}  // namespace corvane::bench
