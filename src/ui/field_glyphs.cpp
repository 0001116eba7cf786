#include "ui/field_glyphs.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "ui/fonts.h"

namespace corvane {

void note_single_line_field(std::string_view text) {
    ImFont* f = ImGui::GetFont();
    note_text(text, f);
    const ImGuiContext& g = *GImGui;
    const bool edited = ImGui::IsItemActive() && g.InputTextState.ID == ImGui::GetItemID();
    const float left = edited ? g.InputTextState.ScrollX : 0.0f;
    const float right = left + ImGui::GetItemRectSize().x;
    const char* p = text.data();
    const char* end = p + text.size();
    const char* from = nullptr;
    float x = 0.0f;
    while (p < end && x <= right) {
        unsigned int c = 0;
        const int len = ImTextCharFromUtf8(&c, p, end);
        x += f->GetCharAdvance(static_cast<ImWchar>(c));
        if (from == nullptr && x >= left) from = p;
        p += len > 0 ? len : 1;
    }
    if (from != nullptr) note_painted_text(std::string_view(from, static_cast<std::size_t>(p - from)), f);
}

}  // namespace corvane
