#pragma once
// The Instrument layout's summary cards.
#include <cstdint>

#include "ui/geometry.h"
#include "ui/views/view_context.h"

namespace corvane {

void draw_summary_strip(ViewContext& ctx);

// The strip itself, as a left-to-right row in `row` (screen coordinates).
void draw_summary_cards(const TraceState& state, const HopVerdicts& verdicts, std::uint64_t route_secs, Rect row);

// Width of the target block for a row `available` wide.
float summary_target_block_width(float available);

}  // namespace corvane
