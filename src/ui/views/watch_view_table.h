#pragma once
// The watch table's two halves: the header row, and the rows it shows in a
// scroll area below itself.
#include "ui/views/view_context.h"

namespace corvane {

// The header row across the panel's content, then the rows in a scroll area
// filling the rest.
void draw_watch_table_header(ViewContext& ctx);

// One 44-point row per host at the cursor, `width` wide; a click selects the
// host, "Trace" asks for a trace of it.
void draw_watch_rows(ViewContext& ctx, float width);

}  // namespace corvane
