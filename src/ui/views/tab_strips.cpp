#include "ui/views/tab_strips.h"

#include <imgui.h>

#include <mutex>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/views/status_bar_text.h"
#include "ui/views/tab_strip_popup.h"
#include "ui/views/tab_strip_tab.h"

namespace corvane {

namespace {

ImVec2 im(float x, float y) { return ImVec2(x, y); }

// Tabs and buttons are centred on the strip's middle line.
float row_top(const Rect& content, float height) { return content.center().y - height / 2.0f; }

bool flag_set(const std::shared_ptr<std::atomic<bool>>& flag) { return !flag || flag->load(); }

// The state is locked only while the tab's texts and dot are worked out.
template <class Look>
TabLook look_under_lock(const SharedTraceState& shared, Look look) {
    if (!shared) return look(new_monitor_state());
    std::lock_guard lock(shared->mutex);
    return look(shared->state);
}

void draw_new_trace_button(Vec2 left_top, PanelActions& actions) {
    const Rect r{left_top.x, left_top.y, left_top.x + 30.0f, left_top.y + 30.0f};
    const Response resp = interact(r, ImGui::GetID("new_trace_tab"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    Color32 plus = palette::text_secondary;
    if (resp.hovered) {
        dl->AddRectFilled(im(r.left, r.top), im(r.right, r.bottom), to_imu32(palette::tab_fill), 7.0f);
        plus = palette::accent_bright;
    }
    const Vec2 c = r.center();
    dl->AddLine(im(c.x - 5.0f, c.y), im(c.x + 5.0f, c.y), to_imu32(plus), 1.6f);
    dl->AddLine(im(c.x, c.y - 5.0f), im(c.x, c.y + 5.0f), to_imu32(plus), 1.6f);
    hover_tooltip_text(resp, "New trace (Ctrl+T)");
    pointing_hand_if_hovered(resp);
    if (resp.clicked) actions.new_trace_tab = true;
}

}  // namespace

void draw_trace_tab_strip(ViewContext& ctx) {
    const App& app = ctx.app;
    const Rect& content = ctx.panel.content;
    const float top = row_top(content, kTabHeight);
    StripTabStyle style;
    style.max_width = kTraceTabMaxWidth;
    style.close_id = "close_tab";
    style.tab_id = "trace_tab";
    style.close_tooltip = "Close this trace (Ctrl+W)";

    float x = content.left;
    for (std::size_t i = 0; i < app.trace_tabs.size(); ++i) {
        const TraceTab& tab = app.trace_tabs[i];
        const bool stopped = flag_set(tab.stop);
        const TabLook look = look_under_lock(
            tab.state, [&](const TraceState& s) { return trace_tab_look(s, tab.target, stopped); });
        const StripTabResult res = draw_strip_tab(look, {x, top}, i == app.active_trace, i, style);
        if (res.close_clicked) ctx.actions.close_trace_tab = i;
        if (res.select_clicked) ctx.actions.select_trace_tab = i;
        x = res.rect.right + kTabSpacing;
    }
    draw_new_trace_button({x, row_top(content, 30.0f)}, ctx.actions);
}

void draw_watch_tab_strip(ViewContext& ctx) {
    const App& app = ctx.app;
    const Rect& content = ctx.panel.content;
    const float top = row_top(content, kTabHeight);
    const std::int64_t now = frame_wall_clock_ms(ctx.view);
    StripTabStyle style;
    style.max_width = kWatchTabMaxWidth;
    style.close_id = "close_wtab";
    style.tab_id = "watch_tab";
    style.close_tooltip = "Stop watching and close this tab. The list stays saved.";

    float x = content.left;
    for (std::size_t i = 0; i < app.watch_tabs.size(); ++i) {
        const WatchTab& tab = app.watch_tabs[i];
        const bool stopped = flag_set(tab.stop);
        const TabLook look = look_under_lock(
            tab.state, [&](const TraceState& s) { return watch_tab_look(s, tab.name, stopped, now); });
        const StripTabResult res = draw_strip_tab(look, {x, top}, i == app.active_watch, i, style);
        if (res.close_clicked) ctx.actions.close_watch_tab = i;
        if (res.select_clicked) ctx.actions.select_watch_tab = i;
        x = res.rect.right + kTabSpacing;
    }
    draw_open_list_button({x, row_top(content, 30.0f)}, app, ctx.actions);
}

}  // namespace corvane
