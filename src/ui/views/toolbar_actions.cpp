#include "ui/views/toolbar_actions.h"

#include "engine/clock_text.h"
#include "engine/trace_tab.h"
#include "engine/watch_tab.h"

namespace corvane {

const char* interval_label(std::span<const IntervalChoice> table, std::uint64_t value) {
    for (const IntervalChoice& c : table)
        if (c.value == value) return c.label;
    return "?";
}

std::uint64_t shared_interval(const SharedSettings& shared, IntervalKind kind) {
    return kind == IntervalKind::Probe ? shared.probe_ms.load() : shared.route_secs.load();
}

void store_shared_interval(SharedSettings& shared, IntervalKind kind, std::uint64_t value) {
    if (kind == IntervalKind::Probe)
        shared.set_probe_ms(value);
    else
        shared.set_route_secs(value);
}

std::optional<bool> active_watch_running(const App& app) {
    if (app.active_watch >= app.watch_tabs.size()) return std::nullopt;
    const auto& stop = app.watch_tabs[app.active_watch].stop;
    return stop && !stop->load();
}

void toggle_active_trace(App& app) {
    if (active_trace_running(app)) {
        if (app.active_trace < app.trace_tabs.size()) stop_trace_tab(app.trace_tabs[app.active_trace]);
    } else {
        start_active_trace(app);
    }
}

void toggle_active_watch(App& app) {
    const std::optional<bool> running = active_watch_running(app);
    if (!running) return;
    WatchTab& tab = app.watch_tabs[app.active_watch];
    if (*running)
        stop_watch_tab(tab);
    else
        start_watch_tab(tab, app.shared);
}

void apply_recent_targets_menu(App& app, const std::optional<std::string>& chosen, bool clear) {
    if (clear) app.recent.clear();
    if (chosen && app.active_trace < app.trace_tabs.size()) {
        app.trace_tabs[app.active_trace].target = *chosen;
        start_active_trace(app);
    }
}

void choose_clock_utc(App& app, bool utc) {
    app.utc = utc;
    set_clock_utc(utc);
}

const char* sound_button_tooltip(bool sound_on) {
    return sound_on ? "Alert sounds on. Click to mute (Ctrl+M)" : "Alert sounds muted. Click to turn them on (Ctrl+M)";
}

}  // namespace corvane
