#pragma once
// What both hop tables draw from, and the row mechanics they share: placing a
// clickable row and making a clicked hop the charted one.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/monitor_state.h"
#include "engine/trace_tab.h"
#include "main/hop_verdicts.h"
#include "ui/geometry.h"
#include "ui/interaction.h"
#include "ui/views/view_context.h"

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

}  // namespace corvane
