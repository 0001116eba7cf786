#include "ui/views/route_log_scroll.h"

#include <algorithm>
#include <cmath>

#include "ui/scroll_area.h"

namespace corvane {

namespace {
float finite_or_zero(float v) { return std::isfinite(v) ? v : 0.0f; }
}  // namespace

float route_log_scroll_offset(float stored, float wheel_delta, bool hovered, float content_height,
                              float view_height) {
    const float max_scroll = std::max(content_height - std::max(view_height, 0.0f), 0.0f);
    float offset = finite_or_zero(stored);
    if (max_scroll > 0.0f && hovered) offset -= finite_or_zero(wheel_delta);
    return std::clamp(offset, 0.0f, max_scroll);
}

bool route_log_row_visible(float y, float height, float list_top, float list_bottom) {
    return !(y + height < list_top) && !(y > list_bottom);
}

RouteLogScrollBar route_log_scroll_bar(Rect list, float content_height, float offset) {
    const float span = std::max(list.bottom - list.top, 0.0f);
    const float max_scroll = std::max(content_height - span, 0.0f);
    RouteLogScrollBar bar;
    if (!(max_scroll > 0.0f)) return bar;
    bar.visible = true;
    bar.track = {list.right - 3.0f, list.top, list.right, list.bottom};
    // At least 24 to be grabbable by eye, but never longer than its track.
    bar.thumb = scroll_thumb_rect(bar.track, content_height, offset, 24.0f);
    return bar;
}

}  // namespace corvane
