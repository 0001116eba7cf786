#include "ui/views/hop_table_wide.h"

#include <imgui.h>

#include <array>
#include <string_view>

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

constexpr float kHeaderHeight = 34.0f;
constexpr float kRowHeight = 40.0f;

struct LegendEntry {
    std::string_view label;
    Color32 color;
};
constexpr std::array<LegendEntry, 4> kLegend{{
    {"Normal", rgb(70, 70, 70)},
    {"Spike", rgb(245, 197, 66)},
    {"Loss", rgb(255, 59, 59)},
    {"Rate limited", rgb(74, 84, 104)},
}};

void paint_strip_legend(ImDrawList* dl, float x, float cy) {
    for (const LegendEntry& e : kLegend) {
        dl->AddRectFilled(ImVec2(x, cy - 4), ImVec2(x + 8, cy + 4), to_imu32(e.color), 2.0f);
        const Rect label = paint_text(dl, {x + 13, cy}, anchor::left_center, e.label,
                                      {FontFamily::Proportional, 11.0f}, palette::text_faint);
        x = label.right + 14;
    }
}

}  // namespace

void draw_wide_hop_table_header(HopTableInputs& in, Rect area) {
    namespace t = hop_table_text;
    const Rect row{area.left, area.top, area.right, area.top + kHeaderHeight};
    const auto widths = hop_table_column_widths(row.width());
    const auto lefts = column_lefts(row.left, widths);
    auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
    const float cy = row.center().y;

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(to_im({row.left, row.top}), to_im({row.right, row.bottom}), true);
    draw_leading_hop_header_cells(dl, lefts, widths, cy);
    struct Value {
        std::size_t column;
        std::string_view label, tip;
    };
    const Value values[] = {
        {kWideLast, "Last", t::kLastTip},   {kWideAvg, "Avg", t::kAvgTip},
        {kWideBest, "Best", t::kBestTip},   {kWideWorst, "Worst", t::kWorstTip},
        {kWideJitter, "Jitter", t::kJitterTip},
    };
    for (const Value& v : values)
        draw_table_header_cell(dl, {right_of(v.column) - 6, cy}, anchor::right_center, v.label, v.tip);
    draw_table_header_cell(dl, {lefts[kWideStrip], cy}, anchor::left_center, "Last 10 min", t::kStripTip);
    if (widths[kWideStrip] > 420) paint_strip_legend(dl, lefts[kWideStrip] + 104, cy);
    paint_text(dl, {right_of(kWideStrip), cy}, anchor::right_center, "now", {FontFamily::Medium, 11.0f},
               palette::accent);
    paint_hline(dl, row.left, row.right, row.bottom - 0.5f, 1.0f, palette::separator);
    dl->PopClipRect();

    const Rect rows{area.left, row.bottom, area.right, area.bottom};
    if (!begin_scroll_area("wide_hop_rows", rows, static_cast<float>(in.hop_count()) * kRowHeight)) return;
    draw_wide_hop_rows(in, rows.width());
    end_scroll_area();
}

void draw_wide_hop_rows(HopTableInputs& in, float width) {
    const auto widths = hop_table_column_widths(width);
    draw_hop_rows(in, width, kRowHeight, [&](const HopRow& r) {
        ImDrawList* dl = r.dl;
        const HopStats& hop = r.hop;
        const auto lefts = column_lefts(r.rect.left, widths);
        auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
        const float cy = r.rect.center().y;

        paint_leading_hop_cells(in, r, lefts, widths, 12.0f, false);
        paint_value_cell(dl, right_of(kWideLast), cy, round_trip_cell(hop.last, hop));
        paint_value_cell(dl, right_of(kWideAvg), cy, round_trip_cell(hop_average_ms(hop), hop));
        paint_value_cell(dl, right_of(kWideBest), cy, round_trip_cell(hop.best, hop));
        paint_value_cell(dl, right_of(kWideWorst), cy, round_trip_cell(hop.worst, hop));
        paint_value_cell(dl, right_of(kWideJitter), cy, jitter_cell(hop));
        paint_hop_strip(dl, lefts[kWideStrip], widths[kWideStrip], cy, hop, r.cls, r.charted, in.now_ms);
    });
}

}  // namespace corvane
