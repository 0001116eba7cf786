#include "ui/views/chart_cards.h"

#include <imgui.h>

#include "ui/panel_host.h"
#include "ui/theme.h"
#include "ui/views/chart_draw.h"
#include "ui/views/chart_header.h"

namespace corvane {

namespace {

Rect header_row(Rect pane) { return {pane.left, pane.top, pane.right, pane.top + kChartHeaderHeight}; }

// What is left under the header, one item spacing down.
Rect chart_space(Rect pane) {
    return {pane.left, pane.top + kChartHeaderHeight + theme::item_spacing_y, pane.right, pane.bottom};
}

}  // namespace

void draw_hop_detail_pane(Rect pane, std::span<const HopStats> hops, std::size_t index, App& app,
                          std::uint64_t probe_ms) {
    // A window picked in the header applies from the next frame on, so every
    // chart of this frame agrees.
    const std::uint64_t window = app.window_secs;
    chart_header_for_hop(header_row(pane), hops, index, app.window_secs, false);
    if (index < hops.size()) draw_line_chart(hops[index], window, probe_ms, chart_space(pane));
}

void draw_host_detail_pane(Rect pane, std::span<const HopStats> hosts, std::size_t index,
                           std::uint64_t& window_secs, std::uint64_t probe_ms) {
    const std::uint64_t window = window_secs;
    if (index >= hosts.size()) {
        chart_header_row(header_row(pane), std::nullopt, nullptr, window_secs, false);
        return;
    }
    chart_header_row(header_row(pane), chart_host_title(hosts[index]), &hosts[index], window_secs, false);
    draw_line_chart(hosts[index], window, probe_ms, chart_space(pane));
}

void draw_bar_chart(Rect pane, std::span<const HopStats> hops, std::size_t index, App& app, std::int64_t now) {
    const std::uint64_t window = app.window_secs;
    chart_header_for_hop(header_row(pane), hops, index, app.window_secs, true);
    if (index < hops.size()) draw_bar_chart_body(hops[index], window, now, chart_space(pane));
}

void draw_instrument_chart(ViewContext& ctx) {
    draw_hop_detail_pane(card_inner(ctx.panel.content), ctx.view.displayed->hops, ctx.view.selected_hop, ctx.app,
                         ctx.view.probe_ms);
}

void draw_signal_chart(ViewContext& ctx) {
    draw_bar_chart(card_inner(ctx.panel.content), ctx.view.displayed->hops, ctx.view.selected_hop, ctx.app,
                   ctx.view.now_ms);
}

void draw_watch_chart(ViewContext& ctx) {
    draw_host_detail_pane(card_inner(ctx.panel.content), ctx.view.displayed->hops, ctx.view.selected_host,
                          ctx.app.window_secs, ctx.view.probe_ms);
}

}  // namespace corvane
