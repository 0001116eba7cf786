#pragma once
// Fills one placed panel with its view.
#include "ui/views/view_context.h"

namespace corvane {

void draw_panel_contents(ViewContext& ctx);

}  // namespace corvane
