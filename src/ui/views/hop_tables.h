#pragma once
// Every hop of the Instrument layout with its statistics, verdicts and last ten minutes.
#include "ui/views/view_context.h"

namespace corvane {

// Every hop of the Instrument layout with its statistics, verdicts and last ten minutes.
void draw_wide_hop_table(ViewContext& ctx);

// The Signal layout's narrower hop table.
void draw_compact_hop_table(ViewContext& ctx);

}  // namespace corvane
