#include "ui/layout_steps.h"

#include <imgui.h>
#include <imgui_internal.h>

namespace corvane {

Rect allocate_item(Vec2 size) {
    const ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::ItemSize(ImVec2(size.x, size.y));
    return {p.x, p.y, p.x + size.x, p.y + size.y};
}

void add_vertical_space(float points) { ImGui::SetCursorPosY(ImGui::GetCursorPosY() + points); }

void draw_text_item(std::string_view text, FontId font_id, Color32 color, std::optional<float> wrap_x) {
    ImGui::PushFont(font(font_id));
    note_text(text);
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(color));
    if (wrap_x) ImGui::PushTextWrapPos(*wrap_x);
    ImGui::TextUnformatted(text.data(), text.data() + text.size());
    if (wrap_x) ImGui::PopTextWrapPos();
    ImGui::PopStyleColor();
    ImGui::PopFont();
}

}  // namespace corvane
