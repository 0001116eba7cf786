#pragma once
// One raised alert, as the banner queue keeps it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/monitor_state.h"

namespace corvane {

struct AlertEntry {
    // The trace or watch tab index at the time the alert was raised; never
    // re-mapped when tabs close later.
    std::size_t source = 0;
    std::string message;
    std::optional<std::string> detail;  // the before-and-after table of a route change
    std::int64_t time_ms = 0;           // the event's own time
    RouteEventKind kind = RouteEventKind::Info;
};

}  // namespace corvane
