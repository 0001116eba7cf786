#pragma once
// When a watched host counts as down and when as back up, apart from the
// thread that pings it, so the rule can be checked against made-up times.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/monitor_state.h"

namespace corvane {

// Consecutive lost pings that make a host down.
inline constexpr std::uint32_t kWatchDownAfter = 3;

class WatchOutage {
public:
    // Takes one ping result at now_ms; gives the event it raises, if any:
    // "{} is down" at the third loss in a row, "{} is back up after {}" at the
    // first answer after that, timed from the first loss of the run.
    std::optional<RouteEvent> record(bool good, std::int64_t now_ms, const std::string& display_name);

    bool down() const { return down_; }
    std::uint32_t failures() const { return failures_; }

private:
    std::uint32_t failures_ = 0;
    std::int64_t first_failure_ms_ = 0;
    bool down_ = false;
    std::int64_t down_since_ms_ = 0;
};

}  // namespace corvane
