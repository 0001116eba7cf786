#include "ui/views/hop_table_paint.h"

#include <imgui.h>

#include <cmath>
#include <string>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/hop_table_layout.h"
#include "ui/views/hop_table_strip.h"

namespace corvane {

namespace {

constexpr float kPi = 3.14159265358979f;

void paint_second_line_run(ImDrawList* dl, float& x, float y, const std::string& text, Color32 color) {
    const Rect r = paint_text(dl, {x, y}, anchor::left_center, text, {FontFamily::Proportional, 11.0f}, color);
    x = r.right + 10.0f;
}

}  // namespace

void draw_hop_router_cell(ImDrawList* dl, Rect rect, const HopStats& hop, HopClass cls, bool compact) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const TextCuttingBox cut(dl, rect);
    const bool none = router_no_response(hop, cls);
    const std::string first = router_first_text(hop, cls);
    const Color32 first_color = none ? palette::text_faint : palette::text_primary;
    const std::optional<std::string> name = router_name(hop);
    // A hop without a probe thread says why, where its class note would go.
    const std::string note = hop.error ? *hop.error : hop_class_note(cls, compact);
    const Color32 note_color = hop.error ? palette::bad_red : palette::classified_note;
    const float cy = rect.center().y;

    if (compact) {
        const Rect r = paint_text(dl, {rect.left, cy}, anchor::left_center, first, {FontFamily::Monospace, 12.5f},
                                  first_color);
        float x = r.right + 10.0f;
        if (name) paint_second_line_run(dl, x, cy + 0.5f, *name, palette::text_faint);
        if (!note.empty()) paint_second_line_run(dl, x, cy + 0.5f, note, note_color);
    } else {
        const bool second = name.has_value() || !note.empty();
        const FontId first_font{none ? FontFamily::Proportional : FontFamily::Monospace, 13.0f};
        paint_text(dl, {rect.left, second ? cy - 8.0f : cy}, anchor::left_center, first, first_font, first_color);
        float x = rect.left;
        if (name) paint_second_line_run(dl, x, cy + 9.0f, *name, palette::text_status);
        if (!note.empty()) paint_second_line_run(dl, x, cy + 9.0f, note, note_color);
    }
}

void draw_hop_node(ImDrawList* dl, float cx, float cy, float row_top, float row_bottom, std::size_t index,
                   std::size_t count, std::uint32_t received, float radius) {
    const float y0 = index == 0 ? cy : row_top;
    const float y1 = index + 1 >= count ? cy : row_bottom;
    if (y1 > y0) dl->AddLine(ImVec2(cx, y0), ImVec2(cx, y1), to_imu32(palette::border), 2.0f);

    const HopNodeStyle s = hop_node_style(index, count, received);
    dl->AddCircleFilled(ImVec2(cx, cy), radius, to_imu32(s.fill), 32);
    if (s.outline) dl->AddCircle(ImVec2(cx, cy), radius, to_imu32(*s.outline), 32, 1.0f);
    if (s.dashed) {
        for (int k = 0; k < 12; ++k) {
            const float a0 = static_cast<float>(30 * k) * kPi / 180.0f;
            const float a1 = static_cast<float>(30 * k + 16) * kPi / 180.0f;
            dl->AddLine(ImVec2(cx + radius * std::cos(a0), cy + radius * std::sin(a0)),
                        ImVec2(cx + radius * std::cos(a1), cy + radius * std::sin(a1)), to_imu32(palette::border_hover),
                        1.0f);
        }
    }
    paint_text(dl, {cx, cy}, anchor::center_center, std::to_string(index + 1), s.number_font, s.number);
}

void paint_value_cell(ImDrawList* dl, float column_right, float center_y, const CellText& cell) {
    paint_text(dl, {column_right - 6.0f, center_y}, anchor::right_center, cell.text, cell.font, cell.color);
}

void paint_hop_strip(ImDrawList* dl, float strip_left, float strip_width, float center_y, const HopStats& hop,
                     HopClass cls, bool selected, std::int64_t now_ms) {
    StripColors colors;
    compute_strip_cell_colors(colors, hop, cls, selected, now_ms);
    for (int k = 0; k < kStripCells; ++k) {
        const Rect c = strip_cell_rect(strip_left, strip_width, k, center_y);
        dl->AddRectFilled(to_im({c.left, c.top}), to_im({c.right, c.bottom}), to_imu32(colors[k]), 1.5f);
    }
}

void paint_empty_table_status(ImDrawList* dl, Vec2 top_left, std::string_view status) {
    paint_text(dl, {top_left.x, top_left.y + 24.0f}, anchor::left_top, status, {FontFamily::Proportional, 13.0f},
               palette::text_secondary);
}

}  // namespace corvane
