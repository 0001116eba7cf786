#pragma once
// The path before and after a route change, shown in a tooltip by the route
// log's rows and by the alert banner.
#include <functional>
#include <string_view>

namespace corvane {

// Lays the comparison out top-down in the current window (a tooltip's body),
// at most `max_height` high: where the whole table is taller, unchanged rows
// give way. `detail` is a route-change event's before-and-after table.
void draw_route_comparison(std::string_view detail, float max_height);

// A tooltip body showing that comparison, no taller than the window; it
// refers to `detail` without owning it, so use it within the frame the text
// belongs to.
std::function<void()> route_change_tooltip(std::string_view detail);

}  // namespace corvane
