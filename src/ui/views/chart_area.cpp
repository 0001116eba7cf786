#include <imgui_internal.h>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/views/chart_draw.h"
#include "ui/views/chart_math.h"

namespace corvane {

ChartArea allocate_chart_area(Rect space) {
    const Rect r{space.left, space.top, space.right, space.top + chart_area_height(space.height())};
    ImGui::SetCursorScreenPos(ImVec2(r.left, r.top));
    ImGui::ItemSize(ImVec2(r.width(), r.height()));
    const Response resp = interact(r, ImGui::GetID("chart_area"), Sense::Hover, ItemRole::Hint);
    return {r, resp.hovered};
}

double draw_chart_grid(ImDrawList* dl, const Rect& plot, double largest) {
    constexpr FontId kLabelFont{FontFamily::Monospace, 10.5f};
    const float label_h = layout_text("0", kLabelFont, palette::text_faint).size.y;
    const ChartGrid g = chart_grid(largest, chart_grid_room(plot.height(), label_h));
    for (double v : chart_grid_values(g)) {
        const float y = chart_y(plot, v, g.top);
        const Color32 line = v == 0.0 ? palette::border : palette::hover_fill;
        // Each grid line on whole pixels, however the values fall.
        const float line_y = on_whole_pixel(y);
        dl->AddLine(ImVec2(plot.left, line_y), ImVec2(plot.right, line_y), to_imu32(line), 1.0f);
        paint_text(dl, {plot.left - 8.0f, y}, anchor::right_center, chart_grid_label(v), kLabelFont,
                   palette::text_faint);
    }
    return g.top;
}

}  // namespace corvane
