#pragma once
// Comparing a re-discovered route with the current one, and telling the user
// what changed.
#include <string>
#include <vector>

#include "engine/echo.h"
#include "engine/monitor_state.h"
#include "engine/trace_session.h"

namespace corvane {

// The change texts of two routes of different length, in order: addresses
// that dropped out, addresses that joined, silent hops added or removed.
std::vector<std::string> route_change_texts(const Route& before, const Route& after);

// One, two, or the first two texts and a count of the rest.
std::string join_change_texts(const std::vector<std::string>& texts);

// "Path length changed from {} to {} hops: {}".
std::string route_length_change_summary(const Route& before, const Route& after);

// The before-and-after table, one row per hop number.
std::string route_change_table(const Route& before, const Route& after);

// Same length: one event per hop whose router changed, applied to `current`
// and the hop table in place. Returns the event texts (also logged).
std::vector<std::string> apply_same_length_change(const SharedTraceState& state, Route& current, const Route& fresh);

// Acts on a non-empty re-discovered route: nothing when equal, in place when
// of the same length, otherwise an event and a new generation of hops.
void handle_route_change(const TraceSession& session, Route& current, StopFlag& generation, const Route& fresh);

}  // namespace corvane
