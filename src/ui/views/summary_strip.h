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

// Where the row's items go: the 60-high target block at its left and the
// 72-high cards after it, all centred on the row's middle line.
struct SummaryRowLayout {
    Rect target_block;
    float card_top = 0;
};
SummaryRowLayout summary_row_layout(Rect row);

}  // namespace corvane
