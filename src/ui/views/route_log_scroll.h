#pragma once
// The route log's hand-made scrolling: offset clamping, which rows are
// painted and where the thumb sits. Pure arithmetic in points.
#include "ui/geometry.h"

namespace corvane {

// Height a log row takes below its wrapped text block of height g: the time
// line and the gap to the next row.
inline constexpr float kRouteLogRowExtra = 27.0f;

// The offset for this frame: the stored one, moved by the wheel (egui-style
// delta, positive = towards the top) only while the log is hovered and
// longer than its area, then clamped to [0, max(content - view, 0)].
float route_log_scroll_offset(float stored, float wheel_delta, bool hovered, float content_height,
                              float view_height);

// Whether a row starting at y, `height` tall, is painted: not wholly above
// the list's top and not starting below its bottom.
bool route_log_row_visible(float y, float height, float list_top, float list_bottom);

// Scroll bar thumb (and track) inside `list`; `visible` is false when the
// content fits and no bar is drawn.
struct RouteLogScrollBar {
    bool visible = false;
    Rect track;
    Rect thumb;
};
RouteLogScrollBar route_log_scroll_bar(Rect list, float content_height, float offset);

}  // namespace corvane
