#include "ui/views/route_log_comparison.h"

#include <imgui.h>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/views/route_log_text.h"

namespace corvane {

void draw_route_comparison(std::string_view detail) {
    draw_text_item("Path before and after the change", {FontFamily::Semibold, 12.5f}, palette::text_primary);
    add_vertical_space(4.0f);
    for (const RouteLogComparisonLine& line : route_log_comparison_lines(detail))
        draw_text_item(line.text, {FontFamily::Monospace, 12.0f}, line.color);
}

std::function<void()> route_change_tooltip(std::string_view detail) {
    return [detail] { draw_route_comparison(detail); };
}

}  // namespace corvane
