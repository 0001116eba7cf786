#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/widgets.h"

namespace corvane {

Rect draw_table_header_cell(ImDrawList* dl, Vec2 pos, Anchor a, std::string_view label, std::string_view tooltip) {
    const Rect r = paint_text(dl, pos, a, label, {FontFamily::Medium, 11.0f}, palette::text_faint);
    const ImU32 dot = to_imu32(color_with_alpha(palette::text_faint, 150));
    for (float x = r.left; x < r.right; x += 3.5f)
        dl->AddLine(ImVec2(x, r.bottom + 1), ImVec2(std::min(x + 1.5f, r.right), r.bottom + 1), dot, 1.0f);

    ImGuiWindow* window = ImGui::GetCurrentWindow();
    const std::string key(label);
    const int left = static_cast<int>(std::isfinite(r.left) ? std::clamp(r.left, -1e9f, 1e9f) : 0.0f);
    const ImGuiID id = window->GetID(key.c_str()) ^ ImHashData(&left, sizeof left, 0);
    const Response hover = interact(r.expand(4.0f), id, Sense::Hover);
    hover_tooltip(hover, [&] { header_tooltip_body(tooltip); });
    return r;
}

void header_tooltip_body(std::string_view tooltip) {
    draw_text_item(tooltip, {FontFamily::Proportional, 12.0f}, palette::text_primary, ImGui::GetCursorPosX() + 300.0f);
}

}  // namespace corvane
