#include "ui/views/hop_table_compact.h"

#include "ui/latency_text.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "ui/palette.h"
#include "ui/panel_host.h"
#include "ui/scroll_area.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"
#include "ui/views/hop_table_cells.h"
#include "ui/views/hop_table_layout.h"
#include "ui/views/hop_table_paint.h"
#include "ui/views/hop_table_texts.h"

namespace corvane {

namespace {

constexpr float kHeaderHeight = 32.0f;
constexpr float kRowHeight = 35.0f;

void paint_range_bar(ImDrawList* dl, float left, float width, float cy, const HopStats& hop, HopClass cls,
                     bool charted, double scale_ms) {
    const RangeBar g = range_bar_geometry(left, width, cy, hop, scale_ms);
    dl->AddRectFilled(to_im({g.track.left, g.track.top}), to_im({g.track.right, g.track.bottom}),
                      to_imu32(palette::tab_fill), 3.0f);
    if (!g.has_bar) return;
    Color32 tick = rgb(208, 208, 208);
    if (charted) {
        fill_rounded_rect(dl, g.bar, 3.0f, palette::accent_dark, palette::accent);
        tick = palette::text_white;
    } else {
        const Color32 fill = cls == HopClass::None ? rgb(58, 58, 58) : rgb(58, 66, 82);
        dl->AddRectFilled(to_im({g.bar.left, g.bar.top}), to_im({g.bar.right, g.bar.bottom}), to_imu32(fill), 3.0f);
    }
    dl->AddRectFilled(to_im({g.tick.left, g.tick.top}), to_im({g.tick.right, g.tick.bottom}), to_imu32(tick), 1.0f);
}

}  // namespace

std::array<std::string, 5> range_tick_labels(double scale_ms) {
    return {format_decimals(0.0, 0), format_decimals(scale_ms * 0.25, 0), format_decimals(scale_ms * 0.5, 0),
            format_decimals(scale_ms * 0.75, 0), format_decimals(scale_ms, 0) + " ms"};
}

void compact_hop_table_panel(HopTableInputs& in, Rect area) {
    if (area.width() <= 0 || area.height() <= 0) return;
    const double scale = range_scale_ms(in.snapshot.hops);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(to_im({area.left, area.top}), to_im({area.right, area.bottom}), to_imu32(palette::card_bg), 12.0f);
    dl->AddRect(to_im({area.left, area.top}), to_im({area.right, area.bottom}), to_imu32(palette::separator), 12.0f, 0,
                1.0f);
    const Rect inner{area.left + 16, area.top + 4, area.right - 16, area.bottom - 6};
    if (inner.width() <= 0 || inner.height() <= 0) return;
    draw_compact_hop_table_header(in, inner, scale);
}

void range_column_tooltip() { header_tooltip_body(hop_table_text::kRangeTip); }

void draw_compact_hop_table_header(HopTableInputs& in, Rect area, double scale_ms) {
    namespace t = hop_table_text;
    const Rect row{area.left, area.top, area.right, area.top + kHeaderHeight};
    const auto widths = compact_hop_table_column_widths(row.width());
    const auto lefts = column_lefts(row.left, widths);
    auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
    const float cy = row.center().y;

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(to_im({row.left, row.top}), to_im({row.right, row.bottom}), true);
    draw_leading_hop_header_cells(dl, lefts, widths, cy);
    draw_table_header_cell(dl, {right_of(kCompactAvg) - 6, cy}, anchor::right_center, "Avg", t::kAvgTip);
    draw_table_header_cell(dl, {right_of(kCompactJitter) - 6, cy}, anchor::right_center, "Jitter", t::kJitterTip);

    const float range_left = lefts[kCompactRange], range_w = widths[kCompactRange];
    const Rect range{range_left, row.top, range_left + range_w, row.bottom};
    const Response tip = interact(range, ImGui::GetCurrentWindow()->GetID("range_tip"), Sense::Hover);
    hover_tooltip(tip, [] { range_column_tooltip(); });
    const auto labels = range_tick_labels(scale_ms);
    static constexpr Anchor kTickAnchors[5] = {anchor::left_center, anchor::center_center, anchor::center_center,
                                               anchor::center_center, anchor::right_center};
    for (int k = 0; k < 5; ++k)
        paint_text(dl, {range_left + range_w * 0.25f * static_cast<float>(k), cy}, kTickAnchors[k], labels[k],
                   {FontFamily::Monospace, 10.5f}, palette::text_faint);
    paint_hline(dl, row.left, row.right, row.bottom - 0.5f, 1.0f, palette::separator);
    dl->PopClipRect();

    const Rect rows{area.left, row.bottom, area.right, area.bottom};
    if (!begin_scroll_area("compact_hop_rows", rows, static_cast<float>(in.hop_count()) * kRowHeight)) return;
    draw_compact_hop_rows(in, rows.width(), scale_ms);
    end_scroll_area();
}

void draw_compact_hop_rows(HopTableInputs& in, float width, double scale_ms) {
    const auto widths = compact_hop_table_column_widths(width);
    draw_hop_rows(in, width, kRowHeight, [&](const HopRow& r) {
        ImDrawList* dl = r.dl;
        const HopStats& hop = r.hop;
        const auto lefts = column_lefts(r.rect.left, widths);
        auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
        const float cy = r.rect.center().y;

        paint_leading_hop_cells(in, r, lefts, widths, 11.0f, true);
        paint_value_cell(dl, right_of(kCompactAvg), cy, round_trip_cell(hop_average_ms(hop), hop));
        paint_value_cell(dl, right_of(kCompactJitter), cy, jitter_cell(hop));
        paint_range_bar(dl, lefts[kCompactRange], widths[kCompactRange], cy, hop, r.cls, r.charted, scale_ms);
    });
}

}  // namespace corvane
