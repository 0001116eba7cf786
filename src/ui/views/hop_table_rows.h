#pragma once
// What both hop tables draw from, and what they share: placing a clickable
// row, making a clicked hop the charted one, the loop over the rows, and the
// four columns both open with.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/monitor_state.h"
#include "engine/trace_tab.h"
#include "main/hop_verdicts.h"
#include "ui/geometry.h"
#include "ui/interaction.h"
#include "ui/views/view_context.h"

struct ImDrawList;

namespace corvane {

struct HopTableInputs {
    const TraceState& snapshot;
    const HopVerdicts& verdicts;
    std::size_t charted;  // the charted hop, worked out by the frame
    std::int64_t now_ms;
    std::vector<TraceTab>& tabs;
    std::size_t active_tab;

    std::size_t hop_count() const { return snapshot.hops.size(); }
};

HopTableInputs hop_table_inputs(ViewContext& ctx);

// The active trace tab charts hop i from the next frame on.
void select_charted_hop(HopTableInputs& in, std::size_t i);

// Places row i (`height` high, the full `width`) at the cursor, sensing
// clicks: the pointer is a hand over it and a click selects the hop. Returns
// the row's response; its rect is where to paint.
Response place_hop_row(HopTableInputs& in, std::size_t i, float width, float height);

// A row in view, its background painted, waiting for its table's cells.
struct HopRow {
    ImDrawList* dl;
    Rect rect;
    std::size_t index;
    const HopStats& hop;
    HopClass cls;
    bool charted;
};

// The rows of either table at the cursor, one `height` high and `width` wide
// per hop, or the snapshot's status when there are none. Every row takes its
// place and senses clicks; only those in view are painted, by `paint_cells`.
void draw_hop_rows(HopTableInputs& in, float width, float height,
                   const std::function<void(const HopRow&)>& paint_cells);

// The four columns both tables open with (Hop, Router, Added latency, Loss),
// given the table's column edges; `compact` is the Signal table's router cell.
void paint_leading_hop_cells(const HopTableInputs& in, const HopRow& r, std::span<const float> lefts,
                             std::span<const float> widths, float node_radius, bool compact);
// Their header cells, centred on `cy`.
void draw_leading_hop_header_cells(ImDrawList* dl, std::span<const float> lefts, std::span<const float> widths,
                                   float cy);

}  // namespace corvane
