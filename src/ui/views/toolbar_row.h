#pragma once
// A row of items centred on one horizontal line, filled from the left and
// from the right. Both bars lay themselves out this way; gaps follow the
// rule that an extra space comes on top of the row's item spacing.
#include <string_view>

#include "ui/geometry.h"

namespace corvane::toolbar_kit {

// Gaps narrowed to fit leave items at fractions of a point: each item's
// rectangle is put on whole pixels of the display (`pixels_per_point`), so
// its outline stays crisp.
struct ItemRow {
    float x = 0.0f;       // next item's left edge
    float right = 0.0f;   // next right-hand item's right edge
    float cy = 0.0f;      // the centre line
    float spacing = 0.0f;
    float pixels_per_point = 1.0f;

    // The next item's rectangle, left to right; the cursor moves past it and
    // the spacing.
    Rect take(Vec2 size) {
        const Rect r{x, cy - size.y * 0.5f, x + size.x, cy + size.y * 0.5f};
        x = r.right + spacing;
        return snap_to_pixels(r, pixels_per_point);
    }
    // The same from the right end, right to left.
    Rect take_right(Vec2 size) {
        const Rect r{right - size.x, cy - size.y * 0.5f, right, cy + size.y * 0.5f};
        right = r.left - spacing;
        return snap_to_pixels(r, pixels_per_point);
    }
    void space(float amount) { x += amount; }
    void space_right(float amount) { right -= amount; }
    float available() const { return right - x; }
};

// How a row too long for its space gives way: first the one item that may
// narrow (the toolbar's target field), down to its floor, then every gap in
// the same proportion, down to kMinGapScale of its size. `items` is the
// width of everything else, `gaps` the sum of the spacing and extra spaces.
struct RowFit {
    float flexible_width = 0.0f;
    float gap_scale = 1.0f;
};
inline constexpr float kMinGapScale = 0.4f;
RowFit fit_row(float available, float items, float gaps, float flexible, float flexible_floor);

// Puts the ImGui cursor at the rectangle's left-top, for kit widgets that
// lay themselves out at the cursor.
void place_cursor(const Rect& r);

// The size the kit's segmented switch takes for these labels (the current
// one in semibold).
Vec2 switch_size(std::string_view first, std::string_view second, int current_index);

}  // namespace corvane::toolbar_kit
