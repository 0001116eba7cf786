#pragma once
// The Signal layout's destination card and route log.
#include <cstdint>

#include "ui/geometry.h"
#include "ui/views/view_context.h"

namespace corvane {

void draw_route_log(ViewContext& ctx);

// The whole left panel inside `content` (screen coordinates): the card, the
// tiles and the scrollable log. `route_secs` is 0 while checks are off or a
// recording is loaded.
void draw_destination_card_and_route_log(const TraceState& state, std::uint64_t route_secs, Rect content);

// Where the panel's three blocks go: card 196, tiles 124, log the rest (at
// least 120), 12 apart.
struct RouteLogBlocks {
    Rect card, tiles, log;
};
RouteLogBlocks route_log_blocks(Rect content);

}  // namespace corvane
