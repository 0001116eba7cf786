#include "engine/watch_session_outage.h"

#include <limits>

#include "engine/duration_text.h"

namespace corvane {

std::optional<RouteEvent> WatchOutage::record(bool good, std::int64_t now_ms, const std::string& display_name) {
    if (good) {
        failures_ = 0;
        if (!down_) return std::nullopt;
        down_ = false;
        return RouteEvent{display_name + " is back up after " + format_duration_ms(now_ms - down_since_ms_),
                          std::nullopt, now_ms, RouteEventKind::HostUp};
    }
    if (failures_ == 0) first_failure_ms_ = now_ms;
    // Saturate rather than wrap: a wrapped count would start a new run while
    // the host is still down.
    if (failures_ < std::numeric_limits<std::uint32_t>::max()) ++failures_;
    if (failures_ != kWatchDownAfter || down_) return std::nullopt;
    down_ = true;
    down_since_ms_ = first_failure_ms_;
    return RouteEvent{display_name + " is down", std::nullopt, now_ms, RouteEventKind::HostDown};
}

}  // namespace corvane
