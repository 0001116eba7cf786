#include "ui/imgui_context.h"

#include <imgui.h>

#include "ui/fonts.h"
#include "ui/render_colors.h"
#include "ui/theme.h"

namespace corvane {

void create_imgui_context() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the layout is saved
    io.LogFilename = nullptr;
    apply_theme(ImGui::GetStyle());
    install_fonts(*io.Fonts);
    premultiply_font_atlas(*io.Fonts);  // before a backend uploads it
    io.FontDefault = font(text_style_font(TextStyle::Body));
}

}  // namespace corvane
