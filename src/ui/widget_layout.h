#pragma once
// The size and placement rules of the shared widgets, apart from any drawing.
#include "ui/geometry.h"

namespace corvane {

// Widths of a stat card's laid-out texts; a negative unit or note width means
// the card has none.
struct StatCardTexts {
    float title = 0.0f;
    float value = 0.0f;
    float unit = -1.0f;
    float note = -1.0f;
    float sub = 0.0f;
};

// Value line: value, then 4 + unit, then 8 + note.
float stat_card_value_line_width(const StatCardTexts& t);
// Content width: as wide as its widest line, narrowed to the space left
// (available - 64) but never below 80 or the value line.
float stat_card_content_width(const StatCardTexts& t, float available_width);
// The card is its content plus 32 on either side.
inline float stat_card_width(float content_width) { return content_width + 64.0f; }
inline constexpr float kStatCardHeight = 72.0f;

// A chart hover box of a text of the given size: 12 to the right of the
// anchor, or 12 to its left when it would cross `right_limit`.
Rect tooltip_box_rect(float anchor_x, float top_y, float right_limit, Vec2 text_size);

// Where a box of `size` opens under `anchor`, `gap` below it with its left
// edge at the anchor's: where that would cross the right edge of `display` it
// flips to end at the anchor's right edge, where it would cross the bottom it
// flips above the anchor; where neither side fits it is kept inside the
// display, as near its first place as it can be.
Rect place_below(Rect anchor, Vec2 size, Vec2 display, float gap);

// Segment widths of a segmented switch from its label widths, and the whole
// switch's size: 2 on the left, 2 between segments, 2 on the right, 32 high.
float segment_width(float label_width);
Vec2 segmented_switch_size(float first_label_width, float second_label_width);

}  // namespace corvane
