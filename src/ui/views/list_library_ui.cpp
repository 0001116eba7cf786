#include "ui/views/list_library_ui.h"

#include <imgui.h>

namespace corvane::list_ui {

void label(std::string_view text, FontId font_id, Color32 color, bool wrap) {
    ImGui::PushFont(font(font_id));
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(color));
    if (wrap) ImGui::PushTextWrapPos(0.0f);
    ImGui::TextUnformatted(text.data(), text.data() + text.size());
    if (wrap) ImGui::PopTextWrapPos();
    ImGui::PopStyleColor();
    ImGui::PopFont();
}

void add_space(float points) { ImGui::SetCursorPosY(ImGui::GetCursorPosY() + points); }

}  // namespace corvane::list_ui
