#pragma once
// The small widgets several views share. They paint into the current ImGui
// window's draw list (or the one given) and keep no state of their own.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <imgui.h>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/geometry.h"
#include "ui/interaction.h"
#include "ui/text_layout.h"

namespace corvane {

// Header label ("medium" 11, 110,110,110) with a dotted underline and a hover
// tooltip. Returns the painted label rectangle.
Rect draw_table_header_cell(ImDrawList* dl, Vec2 pos, Anchor a, std::string_view label, std::string_view tooltip);

// Tooltip content: wraps at 300, proportional 12, 240,240,240.
void header_tooltip_body(std::string_view tooltip);

struct StatNote {
    std::string text;
    Color32 color;
};

// One summary card, 72 high, laid out at the cursor.
Response draw_stat_card(std::string_view title, std::string_view value, FontId value_font, Color32 value_color,
                        std::string_view unit, std::string_view sub, const std::optional<StatNote>& note);

// A secondary button at the cursor, pointing hand on hover. Its size: the
// text and the button padding, at least as high as anything that takes a
// click (32).
Vec2 dialog_button_size(std::string_view text);
Response draw_dialog_button(std::string_view text);

// A selectable label: one row of a drop-down list at the cursor, `width`
// wide, at least 32 high, the text 10 in. A hovered row gets the hovered
// fill and outline, the selected one the selection fill, outline and accent
// text; a given colour overrides the text colour. True when clicked.
bool draw_selectable_label(std::string_view text, FontId font, std::optional<Color32> color, bool selected,
                           float width);
// The natural width of such a row.
float selectable_label_width(std::string_view text, FontId font);

// Rounded rectangle with a diagonal gradient from a (top-left) to b
// (bottom-right); a = b fills solid. No outline.
void fill_rounded_rect(ImDrawList* dl, Rect rect, float radius, Color32 a, Color32 b);

// A primary button's orange gradient, brighter while hovered.
void paint_primary_fill(ImDrawList* dl, Rect rect, float radius, bool hovered);

// A filled rounded rectangle with its outline. ImDrawList strokes a
// rectangle half a point inside its edges, so on a whole-pixel rectangle a
// 1-point line covers exactly the edge pixels.
void paint_framed_rect(ImDrawList* dl, Rect rect, Color32 fill, Color32 line, float radius, float line_width = 1.0f);

// Table row background: selected (tint and accent bar), hovered (white at
// alpha 6), and always the row line at the bottom.
void paint_row_background(ImDrawList* dl, Rect row, bool selected, bool hovered);

// A 1 x 28 divider at the cursor.
void draw_toolbar_divider();

// Chart hover box: label (monospace 11.5) and value ("mono_medium" 11.5).
void draw_tooltip_box(ImDrawList* dl, float anchor_x, float top_y, float right_limit, std::string_view label,
                      std::string_view value, Color32 value_color);

// 28 x 28 close button at the cursor; a click sets `out` to true.
void draw_close_x_button(bool& out);

// Two labelled segments picking one of two values. Returns true and writes
// `current` when the other option was clicked.
template <class T>
struct SegmentOption {
    T value;
    std::string_view label;
};

bool segmented_switch_impl(int current_index, std::string_view first, std::string_view second, int& clicked_index);

template <class T>
bool draw_segmented_switch(T& current, const SegmentOption<T>& a, const SegmentOption<T>& b) {
    const int current_index = current == a.value ? 0 : (current == b.value ? 1 : -1);
    int clicked = -1;
    if (!segmented_switch_impl(current_index, a.label, b.label, clicked)) return false;
    current = clicked == 0 ? a.value : b.value;
    return true;
}

}  // namespace corvane
