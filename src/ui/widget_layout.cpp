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

float segment_width(float label_width) { return label_width + 22.0f; }

Vec2 segmented_switch_size(float first, float second) {
    return {segment_width(first) + segment_width(second) + 2.0f + 4.0f, 32.0f};
}

}  // namespace corvane
