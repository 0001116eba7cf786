#include "ui/views/route_log_comparison.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/views/route_log_text.h"

namespace corvane {

namespace {

constexpr FontId kTitleFont{FontFamily::Semibold, 12.5f};
constexpr FontId kRowFont{FontFamily::Monospace, 12.0f};
constexpr float kBelowTitle = 4.0f;

float line_height(FontId id) {
    const ImFont* f = font(id);
    return f ? f->FontSize : 0.0f;
}

}  // namespace

void draw_route_comparison(std::string_view detail, float max_height) {
    draw_text_item("Path before and after the change", kTitleFont, palette::text_primary);
    add_vertical_space(kBelowTitle);
    // Each line takes its height and the spacing after it, the last one's
    // spacing apart: n lines fit where n (line + spacing) fits the room
    // below the title plus that one spacing.
    const float spacing = ImGui::GetStyle().ItemSpacing.y;
    const float room = max_height - line_height(kTitleFont) - kBelowTitle;
    const float pitch = line_height(kRowFont) + spacing;
    const auto max_lines = static_cast<std::size_t>(std::max(std::floor(room / std::max(pitch, 1.0f)), 1.0f));
    for (const RouteLogComparisonLine& line : fit_route_comparison(route_log_comparison_lines(detail), max_lines))
        draw_text_item(line.text, kRowFont, line.color);
}

std::function<void()> route_change_tooltip(std::string_view detail) {
    return [detail] {
        // The tooltip's own margins, and the screen edge Dear ImGui keeps
        // a window's size clear of.
        const ImGuiStyle& style = ImGui::GetStyle();
        const float margins = 2.0f * (style.WindowPadding.y + style.DisplaySafeAreaPadding.y);
        draw_route_comparison(detail, ImGui::GetIO().DisplaySize.y - margins);
    };
}

}  // namespace corvane
