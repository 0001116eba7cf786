#pragma once
// Laid-out single-row texts and painting them at an anchor. Needs a built font
// atlas but no window.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/geometry.h"

struct ImDrawList;
struct ImFont;

namespace corvane {

enum class Align : unsigned char { Min, Center, Max };
struct Anchor {
    Align x = Align::Min, y = Align::Min;
};
namespace anchor {
inline constexpr Anchor left_top{Align::Min, Align::Min};
inline constexpr Anchor left_center{Align::Min, Align::Center};
inline constexpr Anchor left_bottom{Align::Min, Align::Max};
inline constexpr Anchor center_top{Align::Center, Align::Min};
inline constexpr Anchor center_center{Align::Center, Align::Center};
inline constexpr Anchor right_top{Align::Max, Align::Min};
inline constexpr Anchor right_center{Align::Max, Align::Center};
inline constexpr Anchor right_bottom{Align::Max, Align::Max};
}  // namespace anchor

// One row of text in one font; its size is rounded to whole points.
struct Galley {
    std::string text;
    FontId font;
    Color32 color;
    Vec2 size;
};

Galley layout_text(std::string_view text, FontId font, Color32 color);

// The text on a single row, cut to fit max(max_width, 10) with "…" and
// breaking anywhere (between code points); a run of more than 30 characters
// that take no width (combining marks) is cut there too. Costs the length of
// what it shows, never of the whole text. Coloured 110,110,110; callers paint
// it in their own colour.
Galley elide_text_row(std::string_view text, FontId font, float max_width);

// The text whole where it fits `max_width`; else cut with "…" as
// elide_text_row cuts it, where at least a character and "…" fit; else
// nothing (the text gives way).
std::optional<Galley> fit_text_row(std::string_view text, FontId font, Color32 color, float max_width);

// Width of `text` in a baked font, unrounded.
float text_width(std::string_view text, ImFont* font);

// How many bytes of text this thread has measured so far: lets a test see
// what laying out a row costs.
std::size_t measured_text_bytes();

// The rectangle a galley of `size` takes when `pos` is its `anchor` point.
Rect anchor_rect(Vec2 pos, Anchor a, Vec2 size);

// Paints the galley (in `color` when given) at its rectangle's left-top.
void paint_galley(ImDrawList* dl, Vec2 left_top, const Galley& g);
void paint_galley(ImDrawList* dl, Vec2 left_top, const Galley& g, Color32 color);

// A box whose long texts are cut at its edge, as the look has them (a
// tab's title, a table cell, a block of the summary row): while it lives,
// what `dl` paints is clipped to `box`, and the layout tests know the texts
// cut there are meant to be.
class TextCuttingBox {
public:
    TextCuttingBox(ImDrawList* dl, Rect box);
    ~TextCuttingBox();
    TextCuttingBox(const TextCuttingBox&) = delete;
    TextCuttingBox& operator=(const TextCuttingBox&) = delete;

private:
    ImDrawList* dl_;
};

// Lays out and paints; returns the painted rectangle.
Rect paint_text(ImDrawList* dl, Vec2 pos, Anchor a, std::string_view text, FontId font, Color32 color);

}  // namespace corvane
