#include <imgui_internal.h>

#include <vector>

#include "engine/clock_text.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/views/chart_draw.h"
#include "ui/views/chart_math.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

constexpr FontId kTimeFont{FontFamily::Monospace, 10.5f};

// The area under one run: a strip of quads down to the plot's bottom, opaque
// at the line and transparent at the bottom.
void paint_area(ImDrawList* dl, const std::vector<ImVec2>& pts, float bottom) {
    const int n = static_cast<int>(pts.size());
    if (n < 2) return;
    const ImU32 top = to_imu32(color_with_alpha(255, 77, 0, 90));
    const ImU32 clear = 0;
    const ImVec2 uv = ImGui::GetDrawListSharedData()->TexUvWhitePixel;
    dl->PrimReserve((n - 1) * 6, n * 2);
    // Read after PrimReserve: it may open a new vertex block.
    const auto base = static_cast<unsigned>(dl->_VtxCurrentIdx);
    for (const ImVec2& p : pts) {
        dl->PrimWriteVtx(p, uv, top);
        dl->PrimWriteVtx(ImVec2(p.x, bottom), uv, clear);
    }
    for (int i = 0; i + 1 < n; ++i) {
        const unsigned a = base + 2 * i;
        for (unsigned k : {a, a + 1, a + 2, a + 1, a + 3, a + 2}) dl->PrimWriteIdx(static_cast<ImDrawIdx>(k));
    }
}

}  // namespace

void draw_line_chart(const HopStats& hop, std::uint64_t window_secs, std::uint64_t probe_ms, Rect space) {
    const ChartArea area = allocate_chart_area(space);
    const std::optional<Rect> plot_opt = chart_plot_rect(area.rect, ChartKind::Line);
    if (!plot_opt) return;
    const Rect plot = *plot_opt;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(ImVec2(area.rect.left, area.rect.top), ImVec2(area.rect.right, area.rect.bottom), true);

    const LineChartData d = line_chart_data(hop, line_chart_capacity(window_secs, probe_ms), plot);
    const double top = draw_chart_grid(dl, plot, d.largest);
    // A hop with no probes yet gets the bare grid: time lines without a
    // single time to label would only suggest data that is not there.
    if (d.probes.empty()) {
        dl->PopClipRect();
        return;
    }

    for (const TimeMark& m : line_time_marks(d, plot)) {
        if (m.line) {
            const float x = on_whole_pixel(m.x);  // a time line on whole pixels
            dl->AddLine(ImVec2(x, plot.top), ImVec2(x, plot.bottom), to_imu32(palette::hover_fill), 1.0f);
        }
        if (!m.label_probe) continue;
        const std::string t = format_clock_time(d.probes[*m.label_probe].time_ms, true);
        if (m.newest)
            paint_text(dl, {plot.right, plot.bottom + 8.0f}, anchor::right_top, t, kTimeFont, palette::accent_bright);
        else
            paint_text(dl, {m.x, plot.bottom + 8.0f}, anchor::center_top, t, kTimeFont, palette::text_faint);
    }

    const LineSegments segs = line_segments(d.probes);
    const ImU32 tick = to_imu32(color_with_alpha(palette::bad_red, 170));
    for (std::size_t i : segs.lost)
        dl->AddLine(ImVec2(d.probes[i].x, plot.top), ImVec2(d.probes[i].x, plot.bottom), tick, 2.0f);
    std::vector<ImVec2> pts;
    for (const auto& [first, last] : segs.runs) {
        pts.clear();
        for (std::size_t i = first; i <= last; ++i) pts.emplace_back(d.probes[i].x, chart_y(plot, *d.probes[i].rtt, top));
        if (pts.size() == 1) {
            dl->AddCircleFilled(pts[0], 2.0f, to_imu32(palette::accent));
            continue;
        }
        paint_area(dl, pts, plot.bottom);
        dl->AddPolyline(pts.data(), static_cast<int>(pts.size()), to_imu32(palette::accent), 0, 1.75f);
    }

    const ImVec2 mouse = ImGui::GetIO().MousePos;
    const std::optional<std::size_t> h =
        area.hovered ? line_hover_probe(d, plot, {mouse.x, mouse.y}) : std::nullopt;
    if (h) {
        const LineProbe& p = d.probes[*h];
        const float x = on_whole_pixel(p.x);
        dl->AddLine(ImVec2(x, plot.top), ImVec2(x, plot.bottom), to_imu32(color_with_alpha(255, 255, 255, 64)), 1.0f);
        std::string value = "lost";
        Color32 color = palette::bad_red;
        if (p.rtt) {
            const ImVec2 c(p.x, chart_y(plot, *p.rtt, top));
            dl->AddCircleFilled(c, 4.0f, to_imu32(palette::accent));
            dl->AddCircle(c, 4.0f, to_imu32(rgb(10, 10, 10)), 0, 2.0f);
            value = format_ms0(*p.rtt);
            color = palette::accent_bright;
        }
        draw_tooltip_box(dl, p.x, plot.top + 4.0f, area.rect.right, format_clock_time(p.time_ms, true), value, color);
    }
    dl->PopClipRect();
}

}  // namespace corvane
