#include "ui/imgui_context.h"

#include <imgui.h>

#include <limits>

#include "ui/fonts.h"
#include "ui/render_colors.h"
#include "ui/theme.h"

namespace corvane {

void create_imgui_context(float scale, AtlasLimits limits) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the layout is saved
    io.LogFilename = nullptr;
    apply_theme(ImGui::GetStyle());
    install_fonts(*io.Fonts, scale, limits);
    premultiply_font_atlas(*io.Fonts);  // before a backend uploads it
    io.FontDefault = font(text_style_font(TextStyle::Body));
}

namespace {
bool refresh(float scale, bool due, double now) {
    if (due) {
        rebuild_fonts(scale, now);
        premultiply_font_atlas(*ImGui::GetIO().Fonts);
    }
    begin_font_frame();
    return due;
}
}  // namespace

bool refresh_font_atlas(float scale) {
    return refresh(scale, fonts_need_rebuild(scale), -std::numeric_limits<double>::infinity());
}

bool refresh_font_atlas(float scale, double now) { return refresh(scale, fonts_need_rebuild(scale, now), now); }

}  // namespace corvane
