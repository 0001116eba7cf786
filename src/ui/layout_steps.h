#pragma once
// Steps of the views laid out with the cursor, one item below the other: a
// rectangle taken as an item, extra space, a label that takes its place.
#include <optional>
#include <string_view>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/geometry.h"

namespace corvane {

// Takes `size` at the cursor as one item (the next goes below it) and returns
// where it lies, in screen coordinates.
Rect allocate_item(Vec2 size);

// Moves the cursor down `points` beyond the usual item spacing.
void add_vertical_space(float points);

// Where a label wraps, in the window's own x (Dear ImGui's wrap position):
// this one is the right edge of the window's content.
inline constexpr float kWrapAtContentEdge = 0.0f;

// A label at the cursor in its font and colour, as an item; wrapped at
// `wrap_x` when given, else as the enclosing layout wraps.
void draw_text_item(std::string_view text, FontId font, Color32 color, std::optional<float> wrap_x = std::nullopt);

}  // namespace corvane
