#pragma once
// The trace tabs with their state, selection, closing and the new-tab button.
#include "ui/views/view_context.h"

namespace corvane {

// The trace tabs with their state, selection, closing and the new-tab button.
void draw_trace_tab_strip(ViewContext& ctx);

// The open watch lists with their state, selection, closing, and the saved lists to open.
void draw_watch_tab_strip(ViewContext& ctx);

}  // namespace corvane
