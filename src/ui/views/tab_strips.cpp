#include "ui/views/tab_strips.h"

#include <imgui.h>

#include <mutex>
#include <optional>
#include <vector>

#include "ui/interaction.h"
#include "ui/palette.h"
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

// Draws the tabs from the strip's left, each looked at under its state's lock,
// and asks for the one closed or selected; returns where the strip's button goes.
template <class Tab, class Look>
float draw_tabs(const std::vector<Tab>& tabs, std::size_t active, const Rect& content, const StripTabStyle& style,
                Look look, std::optional<std::size_t>& close, std::optional<std::size_t>& select) {
    const float top = row_top(content, kTabHeight);
    float x = content.left;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const Tab& tab = tabs[i];
        const bool stopped = flag_set(tab.stop);
        const TabLook tab_look =
            look_under_lock(tab.state, [&](const TraceState& s) { return look(s, tab, stopped); });
        const StripTabResult res = draw_strip_tab(tab_look, {x, top}, i == active, i, style);
        if (res.close_clicked) close = i;
        if (res.select_clicked) select = i;
        x = res.rect.right + kTabSpacing;
    }
    return x;
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
    StripTabStyle style;
    style.max_width = kTraceTabMaxWidth;
    style.close_id = "close_tab";
    style.tab_id = "trace_tab";
    style.close_tooltip = "Close this trace (Ctrl+W)";

    const auto look = [](const TraceState& s, const TraceTab& tab, bool stopped) {
        return trace_tab_look(s, tab.target, stopped);
    };
    const float x = draw_tabs(app.trace_tabs, app.active_trace, content, style, look, ctx.actions.close_trace_tab,
                              ctx.actions.select_trace_tab);
    draw_new_trace_button({x, row_top(content, 30.0f)}, ctx.actions);
}

void draw_watch_tab_strip(ViewContext& ctx) {
    const App& app = ctx.app;
    const Rect& content = ctx.panel.content;
    StripTabStyle style;
    style.max_width = kWatchTabMaxWidth;
    style.close_id = "close_wtab";
    style.tab_id = "watch_tab";
    style.close_tooltip = "Stop watching and close this tab. The list stays saved.";

    const auto look = [](const TraceState& s, const WatchTab& tab, bool stopped) {
        return watch_tab_look(s, tab.name, stopped);
    };
    const float x = draw_tabs(app.watch_tabs, app.active_watch, content, style, look, ctx.actions.close_watch_tab,
                              ctx.actions.select_watch_tab);
    draw_open_list_button({x, row_top(content, 30.0f)}, app, ctx.actions);
}

}  // namespace corvane
