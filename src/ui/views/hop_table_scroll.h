#pragma once
// The vertical scroll area under a hop table's header: rows follow each other
// without spacing, the wheel moves 40 points a line, and the bar floats over
// the rows (shown only while the pointer is over them) instead of taking
// width from the columns.
#include "ui/geometry.h"

namespace corvane {

// Opens the area over `area`; the cursor is at its content's top-left. Returns
// false (and opens nothing) when the area has no room; call
// end_hop_scroll_area only after a true.
bool begin_hop_scroll_area(const char* id, Rect area);
void end_hop_scroll_area();

// The floating bar's handle for a view of `view_h` over content of
// `content_h` scrolled by `scroll`; zero height when nothing overflows.
Rect hop_scroll_handle(Rect track, float content_h, float scroll);

}  // namespace corvane
