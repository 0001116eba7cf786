#include "main/app_update_shutdown.h"

#include <thread>

#include "engine/history_writer.h"

namespace corvane {

namespace {

// Every thread of a session holds a share of its stop flag until it ends, so
// a flag held by the tab alone means the session's threads are gone.
template <typename Tab>
bool threads_ended(const std::vector<Tab>& tabs) {
    for (const Tab& tab : tabs)
        if (tab.stop && tab.stop.use_count() > 1) return false;
    return true;
}

}  // namespace

bool shut_down_sessions(App& app, std::chrono::milliseconds limit) {
    for (TraceTab& tab : app.trace_tabs)
        if (tab.stop && !tab.stop->load()) stop_trace_tab(tab);
    for (WatchTab& tab : app.watch_tabs)
        if (tab.stop && !tab.stop->load()) stop_watch_tab(tab);

    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto ended = [&] { return threads_ended(app.trace_tabs) && threads_ended(app.watch_tabs); };
    bool done = ended();
    while (!done && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        done = ended();
    }
    // Also the writers of tabs closed earlier, whose threads may still run.
    flush_all_history_writers();
    return done;
}

}  // namespace corvane
