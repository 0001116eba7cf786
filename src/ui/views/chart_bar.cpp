#include <imgui_internal.h>

#include <cmath>

#include "engine/clock_text.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/ui_memory.h"
#include "ui/views/chart_draw.h"
#include "ui/views/chart_math.h"
#include "ui/widgets.h"

namespace corvane {

namespace {
constexpr FontId kTimeFont{FontFamily::Monospace, 10.5f};
}  // namespace

void draw_bar_chart_body(const HopStats& hop, std::uint64_t window_secs, std::int64_t now, Rect space) {
    const ChartArea area = allocate_chart_area(space);
    const std::optional<Rect> plot_opt = chart_plot_rect(area.rect, ChartKind::Bar);
    // The freeze follows the hover even when the plot is too small to show,
    // so a stale time is never picked up later.
    const ChartClock clock = bar_chart_clock(ui_memory(), ImGui::GetID("barchart_freeze"), area.hovered, now);
    if (!plot_opt) return;
    const Rect plot = *plot_opt;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(ImVec2(area.rect.left, area.rect.top), ImVec2(area.rect.right, area.rect.bottom), true);

    const std::int64_t t = clock.t;
    const BarChartData d = bar_chart_data(hop, window_secs, t);
    const double top = draw_chart_grid(dl, plot, d.largest);

    const ImU32 lost_bg = to_imu32(color_with_alpha(palette::bad_red, 70));
    for (std::size_t i = 0; i < kBarBins; ++i) {
        const BarBin& b = d.bins[i];
        const auto [x0, x1] = bar_x_range(plot, i);
        if (b.lost > 0) dl->AddRectFilled(ImVec2(x0, plot.top), ImVec2(x1, plot.bottom), lost_bg, 2.0f);
        if (const std::optional<double> v = b.value()) {
            const Color32 c = bar_color(i, d.newest, is_spike(*v, d.average));
            dl->AddRectFilled(ImVec2(x0, chart_y(plot, *v, top)), ImVec2(x1, plot.bottom), to_imu32(c), 2.0f);
        }
    }

    const float label_y = plot.bottom + 8.0f;
    paint_text(dl, {plot.left, label_y}, anchor::left_top, format_clock_time(d.start, true), kTimeFont,
               palette::text_faint);
    if (d.full)
        paint_text(dl, {plot.center().x, label_y}, anchor::center_top, format_clock_time(d.start + (t - d.start) / 2, true),
                   kTimeFont, palette::text_faint);
    paint_text(dl, {bar_now_label_x(plot, d, t), label_y}, anchor::right_top, format_clock_time(t, true), kTimeFont,
               palette::accent_bright);

    if (clock.frozen)
        paint_text(dl, {plot.left + 4.0f, plot.top + 2.0f}, anchor::left_top, "paused", {FontFamily::Monospace, 10.0f},
                   palette::text_faint);

    const ImVec2 mouse = ImGui::GetIO().MousePos;
    if (area.hovered && plot.contains({mouse.x, mouse.y})) {
        const std::size_t i = bar_hover_bin(plot, mouse.x);
        if (const std::optional<TooltipValue> tip = bar_tooltip_value(d.bins[i], d.average)) {
            const auto [x0, x1] = bar_x_range(plot, i);
            // On whole pixels: the stroke then covers the bar's own edge pixels.
            dl->AddRect(ImVec2(std::round(x0), std::round(plot.top)), ImVec2(std::round(x1), std::round(plot.bottom)),
                        to_imu32(color_with_alpha(255, 255, 255, 50)), 2.0f, 0, 1.0f);
            const std::int64_t bin_start = d.start + static_cast<std::int64_t>(i) * d.bin_ms;
            draw_tooltip_box(dl, (x0 + x1) / 2, plot.top + 4.0f, area.rect.right, format_clock_time(bin_start, true),
                             tip->text, tip->color);
        }
    }
    dl->PopClipRect();
}

}  // namespace corvane
