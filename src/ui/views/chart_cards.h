#pragma once
// The charted hop's line chart card with its header and window selector.
#include "ui/views/view_context.h"

namespace corvane {

// The charted hop's line chart card with its header and window selector.
void draw_instrument_chart(ViewContext& ctx);

// The charted hop's 60-bar chart card with its header.
void draw_signal_chart(ViewContext& ctx);

// The charted host's chart card.
void draw_watch_chart(ViewContext& ctx);

}  // namespace corvane
