#include "ui/views/toolbar_row.h"

#include <imgui.h>

#include <algorithm>

#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/widget_layout.h"

namespace corvane::toolbar_kit {

RowFit fit_row(float available, float items, float gaps, float flexible, float flexible_floor) {
    RowFit fit{flexible, 1.0f};
    flexible_floor = std::min(flexible_floor, flexible);
    float over = items + gaps + flexible - available;
    if (over <= 0.0f) return fit;
    fit.flexible_width = std::max(flexible_floor, flexible - over);
    over -= flexible - fit.flexible_width;
    if (over > 0.0f && gaps > 0.0f) fit.gap_scale = std::max(kMinGapScale, 1.0f - over / gaps);
    return fit;
}

void place_cursor(const Rect& r) { ImGui::SetCursorScreenPos(ImVec2(r.left, r.top)); }

Vec2 switch_size(std::string_view first, std::string_view second, int current_index) {
    const auto width = [&](std::string_view label, int index) {
        const FontId f{index == current_index ? FontFamily::Semibold : FontFamily::Proportional, 12.0f};
        return layout_text(label, f, palette::text_primary).size.x;
    };
    return segmented_switch_size(width(first, 0), width(second, 1));
}

}  // namespace corvane::toolbar_kit
