#pragma once
// Snapshots of a playback's fed state taken every few thousand samples, so a
// seek back replays from the nearest one instead of the first sample.
//
// A snapshot keeps only what is small: each hop's counters without its
// sample rings, the number of events, the per-host outage counters. The
// rings are rebuilt from the recording itself, since a hop's ring is just
// its last (up to 3600) samples; `by_hop` lists every hop's sample indices
// in order for that.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/monitor_state.h"

namespace corvane {

struct ReplayCheckpoint {
    std::size_t index = 0;        // samples fed
    std::size_t event_count = 0;  // events pushed by then (a prefix of later lists)
    std::vector<HopStats> hops;   // rings empty, names cleared
    std::vector<std::uint32_t> fail_counts;
    std::vector<std::int64_t> first_fail_ms;
    std::vector<std::optional<std::int64_t>> down_since;
};

struct ReplayCheckpoints {
    std::size_t spacing = 0;  // 0: not prepared
    std::vector<ReplayCheckpoint> points;  // points[k].index == (k + 1) * spacing
    std::vector<std::uint32_t> by_hop;     // sample indices grouped by hop, in order
    std::vector<std::size_t> hop_begin;    // hop h's indices start at by_hop[hop_begin[h]]
};

}  // namespace corvane
