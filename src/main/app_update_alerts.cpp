#include "main/app_update.h"

#include "main/unicode_text.h"

namespace corvane {

namespace {

// Takes the tab's events not seen yet, under its lock, and marks them seen.
// Events of other kinds are passed over but count as seen.
template <typename IsAlert, typename Prefix>
void take_new_events(const SharedTraceState& shared, std::size_t& seen, std::size_t source, IsAlert is_alert,
                     Prefix prefix, std::vector<AlertEntry>& out) {
    std::lock_guard lock(shared->mutex);
    const std::vector<RouteEvent>& events = shared->state.events;
    if (seen >= events.size()) return;
    for (std::size_t i = seen; i < events.size(); ++i) {
        const RouteEvent& e = events[i];
        if (!is_alert(e.kind)) continue;
        std::string message = prefix ? std::string(*prefix) + ": " + e.text : e.text;
        out.push_back(AlertEntry{source, std::move(message), e.detail, e.time_ms, e.kind});
    }
    seen = events.size();
}

void ring_once(App& app, FrameContext& ctx) {
    if (app.sound_on && ctx.play_sound) ctx.play_sound(app.sound_choice, app.sound_volume);
    if (app.flash_on) ctx.shell.request_attention();
}

}  // namespace

void raise_alerts(App& app, FrameContext& ctx) {
    std::vector<AlertEntry> raised;
    const bool several_traces = app.trace_tabs.size() != 1;
    for (std::size_t i = 0; i < app.trace_tabs.size(); ++i) {
        TraceTab& tab = app.trace_tabs[i];
        std::optional<std::string_view> prefix;
        if (several_traces) prefix = trim_unicode_space(tab.target);
        take_new_events(
            tab.state, tab.seen_events, i, [](RouteEventKind k) { return k == RouteEventKind::RouteChange; }, prefix,
            raised);
    }
    if (!raised.empty()) {
        app.alerts.insert(app.alerts.end(), std::make_move_iterator(raised.begin()),
                          std::make_move_iterator(raised.end()));
        ring_once(app, ctx);
    }

    raised.clear();
    const bool several_lists = app.watch_tabs.size() > 1;
    for (std::size_t i = 0; i < app.watch_tabs.size(); ++i) {
        WatchTab& tab = app.watch_tabs[i];
        std::optional<std::string_view> prefix;
        if (several_lists) prefix = tab.name;
        take_new_events(
            tab.state, tab.seen_events, i,
            [](RouteEventKind k) { return k == RouteEventKind::HostDown || k == RouteEventKind::HostUp; }, prefix,
            raised);
    }
    if (!raised.empty()) {
        app.alerts.insert(app.alerts.end(), std::make_move_iterator(raised.begin()),
                          std::make_move_iterator(raised.end()));
        ring_once(app, ctx);
    }
}

}  // namespace corvane
