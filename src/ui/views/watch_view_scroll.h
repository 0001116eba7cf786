#pragma once
// The rows' vertical scroll area: a child window scrolled by the wheel (40
// points a notch) with a floating bar that takes no width and shows only
// while the pointer is over the area.
#include "ui/geometry.h"

namespace corvane {

// The thumb of a bar over a view `visible` high showing `content` high
// contents scrolled by `scroll`; an empty rect when everything fits.
Rect scroll_thumb_rect(Rect area, float content, float scroll);

// Begins the area filling `area` (its contents start at its left-top, with no
// vertical item spacing); always pair with end_watch_scroll_area.
void begin_watch_scroll_area(const char* id, Rect area);
void end_watch_scroll_area();

}  // namespace corvane
