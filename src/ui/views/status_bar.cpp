#include "ui/views/status_bar.h"

#include <imgui.h>

#include <cfloat>

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
constexpr float kLeastText = 24.0f;  // what a shape needs after it: a few letters and "…"

ImVec2 im(float x, float y) { return ImVec2(x, y); }

// Items placed left to right on the bar's middle line, up to `limit`: the
// first that reaches past it ends in "…" (or, with no room for a letter,
// gives way) and those after it give way. Without a draw list the row only
// measures where its items would end.
struct Row {
    ImDrawList* dl;
    float x;
    float cy;
    float limit = FLT_MAX;
    bool full = false;

    // Whether a shape `width` wide, and some text after it, still fit.
    bool room_for(float width) {
        if (!full && x + width + kLeastText > limit) full = true;
        return !full;
    }
    void text(std::string_view s, FontId f, Color32 c, float gap_after) {
        if (full) return;
        const Galley g = layout_text(s, f, c);
        if (x + g.size.x > limit) {
            full = true;
            const Galley cut = elide_text_row(s, f, limit - x);
            if (dl != nullptr && x + cut.size.x <= limit && cut.text != "\u2026")
                paint_galley(dl, {x, cy - cut.size.y * 0.5f}, cut, c);
            return;
        }
        if (dl != nullptr) paint_galley(dl, {x, cy - g.size.y * 0.5f}, g);
        x += g.size.x + gap_after;
    }
};

void draw_status_indicator(Row& row, const TraceState& live, const App& app, std::int64_t now) {
    const Color32 dot = status_dot_color(live.status);
    const Vec2 c{row.x + 5.0f, row.cy};
    if (row.dl != nullptr) {
        row.dl->AddCircleFilled(im(c.x, c.y), 5.0f, to_imu32(color_with_alpha(dot, 40)), 20);
        row.dl->AddCircleFilled(im(c.x, c.y), 3.0f, to_imu32(dot), 16);
    }
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
    if (any_hop_is(view.verdicts, HopClass::RateLimited) && row.room_for(8.0f + 6.0f)) {
        if (row.dl != nullptr)
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

void draw_left_items(Row& row, const ViewContext& ctx) {
    const App& app = ctx.app;
    const bool trace = app.view_mode == ViewMode::Trace;
    const TraceState& live = trace ? ctx.view.trace : ctx.view.watch;
    draw_status_indicator(row, live, app, frame_wall_clock_ms(ctx.view));
    if (trace)
        draw_trace_notes(row, ctx.view, app);
    else
        draw_watch_notes(row, ctx.view, app);
}

}  // namespace

void draw_status_bar(ViewContext& ctx) {
    const Rect& content = ctx.panel.content;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const float cy = content.center().y;

    // Right end first: the left items stop short of it. Where they need
    // more room, "ICMP, no admin needed" gives way first: the notes on the
    // left tell about what is on screen, it never changes.
    Row measure{nullptr, content.left, cy};
    draw_left_items(measure, ctx);
    const float left_end = measure.x - kItemGap;
    const Rect version = paint_text(dl, {content.right, cy}, anchor::right_center, kVersionText, kNoteFont,
                                    palette::text_status);
    const Galley privilege = layout_text(kPrivilegeNote, kNoteFont, palette::text_status);
    float right_end = version.left;
    if (left_end + kItemGap + privilege.size.x + kItemGap <= version.left) {
        right_end = version.left - kItemGap - privilege.size.x;
        paint_galley(dl, {right_end, cy - privilege.size.y * 0.5f}, privilege);
    }
    Row row{dl, content.left, cy, right_end - kItemGap};
    draw_left_items(row, ctx);
}

}  // namespace corvane
