#include "ui/imgui_context.h"

#include <imgui.h>

#include "ui/fonts.h"
#include "ui/render_colors.h"
#include "ui/theme.h"

namespace corvane {

void create_imgui_context(float scale) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the layout is saved
    io.LogFilename = nullptr;
    apply_theme(ImGui::GetStyle());
    install_fonts(*io.Fonts, scale);
    premultiply_font_atlas(*io.Fonts);  // before a backend uploads it
    io.FontDefault = font(text_style_font(TextStyle::Body));
}

bool refresh_font_atlas(float scale) {
    if (!fonts_need_rebuild(scale)) return false;
    rebuild_fonts(scale);
    premultiply_font_atlas(*ImGui::GetIO().Fonts);
    return true;
}

}  // namespace corvane
