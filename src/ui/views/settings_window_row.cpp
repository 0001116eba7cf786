#include <imgui.h>

#include <string>

#include "ui/interaction.h"
#include "ui/text_layout.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

SettingsRow::SettingsRow(float height, float spacing) : height_(height), spacing_(spacing) {
    const ImVec2 p = ImGui::GetCursorScreenPos();
    left_ = x_ = p.x;
    top_ = p.y;
    right_ = p.x + ImGui::GetContentRegionAvail().x;
}

void SettingsRow::place(float item_height) {
    ImGui::SetCursorScreenPos(ImVec2(x_, top_ + (height_ - item_height) * 0.5f));
}

void SettingsRow::place_right(Vec2 size) {
    right_ -= size.x;
    ImGui::SetCursorScreenPos(ImVec2(right_, top_ + (height_ - size.y) * 0.5f));
    right_ -= spacing_;
}

void SettingsRow::end() {
    // The whole row as one item, so the next one starts below it.
    ImGui::SetCursorScreenPos(ImVec2(left_, top_));
    ImGui::Dummy(ImVec2(0.0f, height_));
}

void settings_label(std::string_view text, FontId font, Color32 color) {
    const Galley g = layout_text(text, font, color);
    paint_galley(ImGui::GetWindowDrawList(), from_im(ImGui::GetCursorScreenPos()), g);
    ImGui::Dummy(ImVec2(g.size.x, g.size.y));
}

void settings_boxed_label(std::string_view text, FontId font, Color32 color, Vec2 size) {
    const ImVec2 p = ImGui::GetCursorScreenPos();
    const Rect box{p.x, p.y, p.x + size.x, p.y + size.y};
    paint_text(ImGui::GetWindowDrawList(), box.center(), anchor::center_center, text, font, color);
    ImGui::Dummy(ImVec2(size.x, size.y));
}

void settings_note(std::string_view text, float font_size, Color32 color, float wrap_x) {
    draw_text_item(text, {FontFamily::Proportional, font_size}, color,
                   wrap_x > 0.0f ? wrap_x - ImGui::GetWindowPos().x : kWrapAtContentEdge);
}

}  // namespace corvane
