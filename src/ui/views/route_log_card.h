#pragma once
// The destination card and the Delivered / Jitter tiles above the route log.
#include "engine/monitor_state.h"
#include "ui/geometry.h"

struct ImDrawList;

namespace corvane {

// Both paint into `dl`, clipped to their block.
void draw_destination_card(ImDrawList* dl, const TraceState& state, Rect block);
void draw_route_tiles(ImDrawList* dl, const TraceState& state, Rect block);

}  // namespace corvane
