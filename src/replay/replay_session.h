#pragma once
// One loaded recording and the position it is played back to.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/monitor_state.h"
#include "replay/replay_checkpoints.h"
#include "replay/replay_samples.h"

namespace corvane {

using MonotonicTime = std::chrono::steady_clock::time_point;

struct ReplaySession {
    std::filesystem::path path;
    std::string title;
    std::vector<std::optional<std::string>> host_names;  // watch: index = hop - 1
    std::vector<std::uint32_t> fail_counts;              // watch: consecutive lost samples fed
    std::vector<std::int64_t> first_fail_ms;             // watch: first loss of the current run
    std::vector<std::optional<std::int64_t>> down_since; // watch: set while the host counts as down
    std::vector<std::int64_t> markers_ms;
    ReplaySamples samples;                                // sorted by time
    MonotonicTime last_dns_pass{};
    std::optional<MonotonicTime> last_tick;
    SharedTraceState state;
    std::int64_t start_ms = 0;
    std::int64_t end_ms = 0;
    double position_ms = 0.0;
    std::size_t next_index = 0;
    std::uint32_t speed = 10;
    bool is_watch = false;
    bool playing = false;

    // Snapshots of the fed state that let a seek back skip most of the replay.
    ReplayCheckpoints checkpoints;
};

}  // namespace corvane
