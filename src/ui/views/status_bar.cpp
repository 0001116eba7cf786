#include "ui/views/status_bar.h"

#include <imgui.h>

#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/status_bar_text.h"

namespace corvane {

namespace {

constexpr FontId kStatusFont{FontFamily::Proportional, 12.0f};
constexpr FontId kElapsedFont{FontFamily::Monospace, 11.0f};
constexpr FontId kNoteFont{FontFamily::Monospace, 11.0f};
constexpr float kItemGap = 22.0f;
constexpr float kIndicatorGap = 8.0f;

ImVec2 im(float x, float y) { return ImVec2(x, y); }

// Items placed left to right on the bar's middle line.
struct Row {
    ImDrawList* dl;
    float x;
    float cy;

    void text(std::string_view s, FontId f, Color32 c, float gap_after) {
        const Rect r = paint_text(dl, {x, cy}, anchor::left_center, s, f, c);
        x = r.right + gap_after;
    }
};

void draw_status_indicator(Row& row, const TraceState& live, const App& app, std::int64_t now) {
    const Color32 dot = status_dot_color(live.status);
    const Vec2 c{row.x + 5.0f, row.cy};
    row.dl->AddCircleFilled(im(c.x, c.y), 5.0f, to_imu32(color_with_alpha(dot, 40)), 20);
    row.dl->AddCircleFilled(im(c.x, c.y), 3.0f, to_imu32(dot), 16);
    row.x += 10.0f + kIndicatorGap;
    const bool elapsed = status_shows_elapsed(live.status, app.view_mode, active_trace_running(app));
    row.text(live.status, kStatusFont, palette::text_dim, elapsed ? kIndicatorGap : kItemGap);
    if (elapsed) row.text(format_elapsed(now, live.started_ms), kElapsedFont, palette::text_status, kItemGap);
}

void draw_trace_notes(Row& row, const FrameView& view, const App& app) {
    const TraceState& shown = view.displayed ? *view.displayed : view.trace;
    row.text(probes_per_hop_text(shown), kNoteFont, palette::text_status, kItemGap);
    row.text(interval_text(app.shared->probe_ms.load()), kNoteFont, palette::text_status, kItemGap);
    row.text(route_check_text(app.shared->route_secs.load()), kNoteFont, palette::text_status, kItemGap);
    row.text(route_changes_text(shown), kNoteFont, palette::text_status, kItemGap);
    if (any_hop_is(view.verdicts, HopClass::SlowToAnswer))
        row.text(kMutedHopsNote, kNoteFont, palette::text_status, kItemGap);
    if (any_hop_is(view.verdicts, HopClass::RateLimited)) {
        row.dl->AddRectFilled(im(row.x, row.cy - 4.0f), im(row.x + 8.0f, row.cy + 4.0f),
                              to_imu32(palette::rate_limited_slate), 2.0f);
        row.x += 8.0f + 6.0f;
        row.text(kRateLimitedNote, kNoteFont, palette::text_status, kItemGap);
    }
}

void draw_watch_notes(Row& row, const FrameView& view, const App& app) {
    const TraceState& shown = view.displayed ? *view.displayed : view.trace;
    row.text(hosts_text(shown), kNoteFont, palette::text_status, kItemGap);
    row.text(interval_text(app.shared->probe_ms.load()), kNoteFont, palette::text_status, kItemGap);
    row.text(outages_text(shown), kNoteFont, palette::text_status, kItemGap);
}

}  // namespace

void draw_status_bar(ViewContext& ctx) {
    const App& app = ctx.app;
    const Rect& content = ctx.panel.content;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const float cy = content.center().y;

    // Right end first: the left items stop short of it.
    const Rect version = paint_text(dl, {content.right, cy}, anchor::right_center, kVersionText, kNoteFont,
                                    palette::text_status);
    const Rect privilege = paint_text(dl, {version.left - kItemGap, cy}, anchor::right_center, kPrivilegeNote,
                                      kNoteFont, palette::text_status);

    dl->PushClipRect(im(content.left, content.top), im(privilege.left - kItemGap, content.bottom), true);
    Row row{dl, content.left, cy};
    const bool trace = app.view_mode == ViewMode::Trace;
    const TraceState& live = trace ? ctx.view.trace : ctx.view.watch;
    draw_status_indicator(row, live, app, frame_wall_clock_ms(ctx.view));
    if (trace)
        draw_trace_notes(row, ctx.view, app);
    else
        draw_watch_notes(row, ctx.view, app);
    dl->PopClipRect();
}

}  // namespace corvane
