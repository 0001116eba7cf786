#include "main/app.h"

#include <algorithm>

namespace corvane {

namespace {

// The selection after removing tab `closed`, with `count` tabs left: the
// same tab stays selected, or the one that took the closed tab's place.
std::size_t selection_after_close(std::size_t selected, std::size_t closed, std::size_t count) {
    if ((selected >= count || closed < selected) && selected > 0) --selected;
    return count == 0 ? 0 : std::min(selected, count - 1);
}

}  // namespace

void start_active_trace(App& app) {
    if (app.active_trace >= app.trace_tabs.size()) return;
    TraceTab& tab = app.trace_tabs[app.active_trace];
    start_trace_tab(tab, app.shared);
    remember_recent_target(app.recent, tab.target);
}

void add_trace_tab(App& app) {
    app.trace_tabs.push_back(new_trace_tab(std::string()));
    app.active_trace = app.trace_tabs.size() - 1;
    app.view_mode = ViewMode::Trace;
}

bool active_trace_running(const App& app) {
    if (app.active_trace >= app.trace_tabs.size()) return false;
    const StopFlag& stop = app.trace_tabs[app.active_trace].stop;
    return stop && !stop->load();
}

void close_trace_tab(App& app, std::size_t index) {
    if (index >= app.trace_tabs.size()) return;
    // The threads hold their own shares of the state and flag and end once
    // they see it set; nobody waits for them.
    stop_trace_tab(app.trace_tabs[index]);
    app.trace_tabs.erase(app.trace_tabs.begin() + static_cast<std::ptrdiff_t>(index));
    if (app.trace_tabs.empty()) app.trace_tabs.push_back(new_trace_tab(std::string()));
    app.active_trace = selection_after_close(app.active_trace, index, app.trace_tabs.size());
}

void open_watch_list(App& app, std::string_view name) {
    app.view_mode = ViewMode::Watch;
    std::size_t index = 0;
    if (const auto found = find_watch_tab(app.watch_tabs, name)) {
        index = *found;
    } else {
        app.watch_tabs.push_back(new_watch_tab(std::string(name)));
        index = app.watch_tabs.size() - 1;
    }
    app.active_watch = index;
    WatchTab& tab = app.watch_tabs[index];
    if (!tab.stop || tab.stop->load()) start_watch_tab(tab, app.shared);
}

void close_watch_tab(App& app, std::size_t index) {
    if (index >= app.watch_tabs.size()) return;
    stop_watch_tab(app.watch_tabs[index]);
    app.watch_tabs.erase(app.watch_tabs.begin() + static_cast<std::ptrdiff_t>(index));
    app.active_watch = selection_after_close(app.active_watch, index, app.watch_tabs.size());
}

}  // namespace corvane
