#include "ui/widget_layout.h"

#include <algorithm>

namespace corvane {

float stat_card_value_line_width(const StatCardTexts& t) {
    float d = t.value;
    if (t.unit >= 0.0f) d += t.unit + 4.0f;
    if (t.note >= 0.0f) d += t.note + 8.0f;
    return d;
}

float stat_card_content_width(const StatCardTexts& t, float available_width) {
    const float d = stat_card_value_line_width(t);
    const float widest = std::max({t.title, d, t.sub});
    return std::min(widest, std::max({available_width - 64.0f, 80.0f, d}));
}

Rect tooltip_box_rect(float anchor_x, float top_y, float right_limit, Vec2 text_size) {
    const float width = text_size.x + 20.0f;
    const float height = text_size.y + 12.0f;
    float left = anchor_x + 12.0f;
    if (left + width > right_limit) left = anchor_x - 12.0f - width;
    return {left, top_y, left + width, top_y + height};
}

Rect place_below(Rect anchor, Vec2 size, Vec2 display, float gap) {
    // Where neither side fits, as near the first choice as the display allows.
    const auto flip = [](float first, float flipped, float extent, float limit) {
        if (first + extent <= limit) return first;
        if (flipped >= 0.0f) return flipped;
        return std::max(0.0f, limit - extent);
    };
    const float left = flip(anchor.left, anchor.right - size.x, size.x, display.x);
    const float top = flip(anchor.bottom + gap, anchor.top - gap - size.y, size.y, display.y);
    return {left, top, left + size.x, top + size.y};
}

float segment_width(float label_width) { return label_width + 22.0f; }

Vec2 segmented_switch_size(float first, float second) {
    return {segment_width(first) + segment_width(second) + 2.0f + 4.0f, 32.0f};
}

}  // namespace corvane
