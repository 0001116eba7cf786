#include "ui/views/route_log_comparison.h"

#include <imgui.h>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/views/route_log_text.h"

namespace corvane {

namespace {

void label(std::string_view text, FontId id, Color32 colour) {
    ImGui::PushFont(font(id));
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(colour));
    ImGui::TextUnformatted(text.data(), text.data() + text.size());
    ImGui::PopStyleColor();
    ImGui::PopFont();
}

}  // namespace

void draw_route_comparison(std::string_view detail) {
    label("Path before and after the change", {FontFamily::Semibold, 12.5f}, palette::text_primary);
    // Four on top of the item spacing, as a plain space of 4 would be.
    ImGui::SetCursorPosY(ImGui::GetCursorPosY() + 4.0f);
    for (const RouteLogComparisonLine& line : route_log_comparison_lines(detail))
        label(line.text, {FontFamily::Monospace, 12.0f}, line.color);
}

std::function<void()> route_change_tooltip(std::string_view detail) {
    return [detail] { draw_route_comparison(detail); };
}

}  // namespace corvane
