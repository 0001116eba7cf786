#pragma once
// How far each hop's own figures can be believed. Routers often answer the
// probes addressed to them worse than they forward traffic; judging every hop
// against the hops after it keeps such artefacts from reading as path faults.
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/monitor_state.h"

namespace corvane {

enum class HopClass : std::uint8_t {
    RateLimited = 0,   // drops some of its own replies while later hops are clean
    NoIcmpReply = 1,   // never answers, traffic passes it
    SlowToAnswer = 2,  // answers slowly, traffic through it is not delayed
    None = 255,        // the hop's figures stand as measured
};

struct HopVerdicts {
    std::vector<HopClass> classes;                     // one per hop
    std::vector<std::optional<double>> added_latency;  // ms; absent for a hop with no replies
    std::optional<std::size_t> most_added;             // the biggest jump
};

// Pure: reads only the hop list of one snapshot.
HopVerdicts compute_hop_verdicts(const std::vector<HopStats>& hops);

}  // namespace corvane
