#pragma once
// The Instrument layout's summary cards.
#include "ui/views/view_context.h"

namespace corvane {

void draw_summary_strip(ViewContext& ctx);

}  // namespace corvane
