#include "ui/views/watch_view_table.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <optional>
#include <string>

#include "engine/host_status.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/panel_host.h"
#include "ui/scroll_area.h"
#include "ui/widgets.h"
#include "ui/views/hop_table_strip.h"
#include "ui/views/watch_view_cells.h"
#include "ui/views/watch_view_layout.h"
#include "ui/views/watch_view_texts.h"

namespace corvane {

namespace {

constexpr FontId kValueFont{FontFamily::Monospace, 13.0f};

void paint_value(ImDrawList* dl, float right, float cy, const CellText& cell) {
    paint_text(dl, {right - 6.0f, cy}, anchor::right_center, cell.text, kValueFont, cell.color);
}

void paint_status_dot(ImDrawList* dl, Vec2 c, Color32 color) {
    dl->AddCircleFilled(to_im(c), 7.5f, to_imu32(color_with_alpha(color, 40)));
    dl->AddCircleFilled(to_im(c), 4.5f, to_imu32(color));
}

void paint_host_cell(ImDrawList* dl, const HopStats& host, const WatchRowColumns& cols, Rect row) {
    const float cy = row.center().y;
    const TextCuttingBox cut(dl, {cols.host_left, row.top, cols.host_clip_right, row.bottom});
    paint_text(dl, {cols.host_left, cy - 8.0f}, anchor::left_center, watch_host_name_line(host),
               {FontFamily::Medium, 13.5f}, palette::text_primary);
    paint_text(dl, {cols.host_left, cy + 10.0f}, anchor::left_center, watch_host_detail_line(host),
               {FontFamily::Proportional, 11.0f}, palette::text_status);
}

// True when the text ran past its cell.
bool paint_status_text(ImDrawList* dl, const HostStatus& s, const WatchRowColumns& cols, Rect row) {
    const TextCuttingBox cut(dl, {cols.status_left, row.top, cols.status_clip_right, row.bottom});
    const Rect painted = paint_text(dl, {cols.status_left, row.center().y}, anchor::left_center, s.text,
                                    {FontFamily::Proportional, 12.0f}, watch_status_text_color(s.kind));
    return painted.right > cols.status_clip_right;
}

void paint_strip(ImDrawList* dl, const StripColors& colors, const WatchRowColumns& cols, float cy) {
    const float width = cols.strip_right - cols.strip_left;
    for (int k = 0; k < kWatchStripCells; ++k) {
        const Rect c = watch_strip_cell(cols.strip_left, width, cy, k);
        dl->AddRectFilled(to_im({c.left, c.top}), to_im({c.right, c.bottom}), to_imu32(colors[k]), 1.5f);
    }
}

void paint_trace_button(ImDrawList* dl, Rect r, bool hovered) {
    paint_framed_rect(dl, r, hovered ? palette::hover_fill : palette::widget_bg,
                      hovered ? palette::accent : palette::border, 6.0f);
    paint_text(dl, r.center(), anchor::center_center, "Trace", {FontFamily::Medium, 11.5f},
               hovered ? palette::accent_bright : palette::text_primary);
}

// A row click makes the host the charted one of the list on view.
void select_host(App& app, std::size_t i) {
    if (app.active_watch < app.watch_tabs.size()) app.watch_tabs[app.active_watch].selected = i;
}

void draw_row(ViewContext& ctx, std::size_t i, Rect row) {
    const HopStats& host = ctx.view.displayed->hops[i];
    const bool buttons = !ctx.view.playback_active;
    const Rect trace_rect = watch_trace_button(row);

    // The button goes in before the row so it wins the pointer over it. Hosts
    // may share a text (or have none, in a recording): the index keeps ids apart.
    ImGui::PushID(static_cast<int>(i));
    Response trace;
    if (buttons) {
        const std::string key = host.host ? *host.host : host.label.value_or(std::string());
        trace = interact(trace_rect, ImGui::GetID(("trace:" + key).c_str()), Sense::Click);
    }
    const Response resp = interact(row, ImGui::GetID("row"), Sense::Click, ItemRole::Area);
    const WatchRowColumns cols = watch_row_columns(row.left, row.width());
    const Response over_status =
        interact({cols.status_left, row.top, cols.status_clip_right, row.bottom}, ImGui::GetID("status"), Sense::Hover);
    ImGui::PopID();

    ImDrawList* dl = ImGui::GetWindowDrawList();
    const bool selected = ctx.view.selected_host == i;
    paint_row_background(dl, row, selected, resp.hovered);

    const float cy = row.center().y;
    const HostStatus status = classify_watch_host_status(host, ctx.view.now_ms);
    paint_status_dot(dl, {row.left + 18.0f, cy}, watch_status_dot_color(status.kind));

    paint_host_cell(dl, host, cols, row);
    paint_value(dl, cols.last_right, cy, watch_last_cell(host));
    paint_value(dl, cols.avg_right, cy, watch_avg_cell(host));
    paint_value(dl, cols.loss_right, cy, watch_loss_cell(host));
    paint_value(dl, cols.jitter_right, cy, watch_jitter_cell(host));
    // An error that names its cause may not fit: the whole of it under the pointer.
    if (paint_status_text(dl, status, cols, row)) hover_tooltip_text(over_status, status.text);
    // A watched host is never a classified hop: its losses are always red.
    StripColors strip;
    compute_strip_cell_colors(strip, host, HopClass::None, selected, ctx.view.now_ms);
    paint_strip(dl, strip, cols, cy);

    pointing_hand_if_hovered(resp);
    if (buttons) {
        paint_trace_button(dl, trace_rect, trace.hovered);
        pointing_hand_if_hovered(trace);
        hover_tooltip_text(trace, watch_text::kTraceTip);
        // Without a host text there is nothing to trace.
        if (trace.clicked && host.host) ctx.actions.trace_host = *host.host;
    }
    if (resp.clicked) select_host(ctx.app, i);
}

}  // namespace

void draw_watch_rows(ViewContext& ctx, float width) {
    const std::vector<HopStats>& hosts = ctx.view.displayed->hops;
    if (hosts.empty()) {
        ImGui::Dummy(ImVec2(0.0f, 24.0f));
        const ImVec2 p = ImGui::GetCursorScreenPos();
        const Rect r = paint_text(ImGui::GetWindowDrawList(), from_im(p), anchor::left_top, watch_text::kEmptyList,
                                  {FontFamily::Proportional, 13.0f}, palette::text_secondary);
        ImGui::ItemSize(ImVec2(r.width(), r.height()));
        return;
    }
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        const Rect row = allocate_item({width, kWatchRowHeight});
        // Rows scrolled out of sight cost nothing but their place.
        if (!ImGui::IsRectVisible(to_im({row.left, row.top}), to_im({row.right, row.bottom}))) continue;
        draw_row(ctx, i, row);
    }
}

void draw_watch_table_header(ViewContext& ctx) {
    const Rect content = ctx.panel.content;
    // The scroll area follows after the usual item spacing.
    const float rows_top = content.top + kWatchHeaderRowHeight + ImGui::GetStyle().ItemSpacing.y;
    const Rect area{content.left, rows_top, content.right, content.bottom};
    // Rows are all one height; the empty list's note is measured as drawn.
    const std::size_t hosts = ctx.view.displayed->hops.size();
    std::optional<float> content_h;
    if (hosts > 0) content_h = static_cast<float>(hosts) * kWatchRowHeight;
    // The scroll bar takes a gutter of its own rather than float over the
    // Trace buttons; the header's columns stand over the rows'.
    const float width = scroll_content_width(area, content_h.value_or(0.0f));

    const Rect header{content.left, content.top, content.left + width, content.top + kWatchHeaderRowHeight};
    const float cy = header.center().y;
    const WatchRowColumns cols = watch_row_columns(header.left, header.width());
    ImDrawList* dl = ImGui::GetWindowDrawList();

    draw_table_header_cell(dl, {cols.host_left, cy}, anchor::left_center, "Host", watch_text::kHostTip);
    draw_table_header_cell(dl, {cols.last_right - 6.0f, cy}, anchor::right_center, "Last", watch_text::kLastTip);
    draw_table_header_cell(dl, {cols.avg_right - 6.0f, cy}, anchor::right_center, "Avg", watch_text::kAvgTip);
    draw_table_header_cell(dl, {cols.loss_right - 6.0f, cy}, anchor::right_center, "Loss", watch_text::kLossTip);
    draw_table_header_cell(dl, {cols.jitter_right - 6.0f, cy}, anchor::right_center, "Jitter",
                           watch_text::kJitterTip);
    draw_table_header_cell(dl, {cols.status_left, cy}, anchor::left_center, "Status", watch_text::kStatusTip);
    draw_table_header_cell(dl, {cols.strip_left, cy}, anchor::left_center, "Last 10 min", watch_text::kStripTip);
    paint_text(dl, {cols.strip_right, cy}, anchor::right_center, "now", {FontFamily::Medium, 11.0f}, palette::accent);
    paint_hline(dl, content.left, content.right, header.bottom - 0.5f, 1.0f, palette::separator);

    if (!begin_scroll_area("watch_rows", area, content_h)) return;
    draw_watch_rows(ctx, width);
    end_scroll_area();
}

}  // namespace corvane
