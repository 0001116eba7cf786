#pragma once
// The dark theme: per-state widget visuals for our own painted widgets, and
// the parts of it that Dear ImGui's style can carry.
#include "ui/color.h"

struct ImGuiStyle;

namespace corvane {

struct Stroke {
    float width = 0.0f;
    Color32 color;
};

struct WidgetVisuals {
    Color32 fill;
    Stroke border;
    Stroke text;  // text and icon stroke
    float rounding = 6.0f;
};

enum class WidgetState : unsigned char { NonInteractive, Inactive, Hovered, Active, Open };

const WidgetVisuals& widget_visuals(WidgetState state);

namespace theme {
inline constexpr Color32 selection_fill = rgb(70, 30, 8);
inline constexpr Stroke selection_stroke{1.0f, rgb(255, 90, 15)};
inline constexpr Color32 faint_bg = rgb(17, 17, 17);
inline constexpr Color32 extreme_bg = rgb(20, 20, 20);
inline constexpr Color32 window_fill = rgb(22, 22, 22);
inline constexpr Stroke window_stroke{1.0f, rgb(42, 42, 42)};
inline constexpr float window_rounding = 8.0f;
inline constexpr float menu_rounding = 8.0f;
inline constexpr Color32 panel_fill = rgb(10, 10, 10);
inline constexpr Color32 hyperlink = rgb(90, 170, 255);
inline constexpr Color32 code_bg = rgb(64, 64, 64);
inline constexpr Color32 warn_text = rgb(255, 143, 0);
inline constexpr Color32 error_text = rgb(255, 0, 0);
inline constexpr Stroke text_cursor{2.0f, rgb(192, 222, 255)};
inline constexpr float item_spacing_x = 10.0f, item_spacing_y = 8.0f;
inline constexpr float button_padding_x = 10.0f, button_padding_y = 6.0f;
inline constexpr float interact_size_y = 32.0f;
}  // namespace theme

// Puts the theme's colours, roundings and spacing into an ImGui style.
void apply_theme(ImGuiStyle& style);

}  // namespace corvane
