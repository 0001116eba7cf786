#include "ui/theme.h"

#include <imgui.h>

#include <array>

namespace corvane {

namespace {

constexpr std::array<WidgetVisuals, 5> kVisuals{{
    {rgb(27, 27, 27), {1.0f, rgb(31, 31, 31)}, {1.0f, rgb(240, 240, 240)}},     // non-interactive
    {rgb(20, 20, 20), {1.0f, rgb(42, 42, 42)}, {1.0f, rgb(240, 240, 240)}},     // inactive
    {rgb(28, 28, 28), {1.0f, rgb(64, 64, 64)}, {1.0f, rgb(255, 255, 255)}},     // hovered
    {rgb(34, 34, 34), {1.0f, rgb(255, 90, 15)}, {2.0f, rgb(255, 255, 255)}},    // active
    {rgb(28, 28, 28), {1.0f, rgb(255, 90, 15)}, {1.0f, rgb(210, 210, 210)}},    // open
}};

ImVec4 v4(Color32 c) {
    return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f};
}

}  // namespace

const WidgetVisuals& widget_visuals(WidgetState state) {
    return kVisuals[static_cast<std::size_t>(state)];
}

void apply_theme(ImGuiStyle& style) {
    const auto& inactive = widget_visuals(WidgetState::Inactive);
    const auto& hovered = widget_visuals(WidgetState::Hovered);
    const auto& active = widget_visuals(WidgetState::Active);
    const auto& open = widget_visuals(WidgetState::Open);
    const auto& fixed = widget_visuals(WidgetState::NonInteractive);

    style.Alpha = 1.0f;
    style.WindowPadding = ImVec2(0, 0);
    style.WindowRounding = theme::window_rounding;
    style.WindowBorderSize = theme::window_stroke.width;
    style.ChildRounding = 0.0f;
    style.ChildBorderSize = 0.0f;
    style.PopupRounding = theme::menu_rounding;
    style.PopupBorderSize = 1.0f;
    style.FrameRounding = inactive.rounding;
    style.FrameBorderSize = inactive.border.width;
    style.FramePadding = ImVec2(theme::button_padding_x, theme::button_padding_y);
    style.ItemSpacing = ImVec2(theme::item_spacing_x, theme::item_spacing_y);
    style.GrabRounding = inactive.rounding;
    style.TabRounding = inactive.rounding;
    style.ScrollbarRounding = inactive.rounding;
    style.AntiAliasedLinesUseTex = false;
    style.DisplaySafeAreaPadding = ImVec2(0, 0);

    ImVec4* c = style.Colors;
    c[ImGuiCol_Text] = v4(inactive.text.color);
    c[ImGuiCol_TextDisabled] = v4(rgb(110, 110, 110));
    c[ImGuiCol_WindowBg] = v4(theme::window_fill);
    c[ImGuiCol_ChildBg] = v4(Color32{});
    c[ImGuiCol_PopupBg] = v4(theme::window_fill);
    c[ImGuiCol_Border] = v4(theme::window_stroke.color);
    c[ImGuiCol_BorderShadow] = v4(Color32{});
    c[ImGuiCol_FrameBg] = v4(theme::extreme_bg);
    c[ImGuiCol_FrameBgHovered] = v4(hovered.fill);
    c[ImGuiCol_FrameBgActive] = v4(active.fill);
    c[ImGuiCol_Button] = v4(inactive.fill);
    c[ImGuiCol_ButtonHovered] = v4(hovered.fill);
    c[ImGuiCol_ButtonActive] = v4(active.fill);
    c[ImGuiCol_Header] = v4(theme::selection_fill);
    c[ImGuiCol_HeaderHovered] = v4(hovered.fill);
    c[ImGuiCol_HeaderActive] = v4(open.fill);
    c[ImGuiCol_TextSelectedBg] = v4(theme::selection_fill);
    c[ImGuiCol_Separator] = v4(fixed.border.color);
    c[ImGuiCol_CheckMark] = v4(theme::selection_stroke.color);
    c[ImGuiCol_SliderGrab] = v4(theme::selection_stroke.color);
    c[ImGuiCol_SliderGrabActive] = v4(theme::selection_stroke.color);
    c[ImGuiCol_ScrollbarBg] = v4(Color32{});
    c[ImGuiCol_ScrollbarGrab] = v4(fixed.fill);
    c[ImGuiCol_ScrollbarGrabHovered] = v4(hovered.border.color);
    c[ImGuiCol_ScrollbarGrabActive] = v4(active.border.color);
    c[ImGuiCol_NavHighlight] = v4(Color32{});
    c[ImGuiCol_ModalWindowDimBg] = v4(Color32{});
    c[ImGuiCol_NavWindowingDimBg] = v4(Color32{});
}

}  // namespace corvane
