#pragma once
// One open trace tab: its target, its monitor state and the flag that stops
// its session.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/monitor_state.h"
#include "engine/shared_settings.h"
#include "engine/trace_session.h"

namespace corvane {

struct TraceTab {
    std::optional<std::size_t> selected_hop;
    std::string target;      // as typed, untrimmed
    SharedTraceState state;  // replaced by a fresh one at each start
    StopFlag stop;           // replaced by a fresh one at each start
    std::size_t seen_events = 0;
};

// No thread starts; a blank target shows "Enter a target and press Start".
TraceTab new_trace_tab(std::string target);

// Ends the running session, if any, and starts a new one with a new state.
// A blank target only stops.
void start_trace_tab(TraceTab& tab, const SharedSettingsPtr& settings);

// The session's threads end on their own once they see the flag.
void stop_trace_tab(TraceTab& tab);

// Without leading and trailing Unicode white space (the text is UTF-8).
std::string trim_white_space(std::string_view text);

}  // namespace corvane
