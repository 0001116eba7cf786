#include "engine/watch_tab.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

#include "engine/history_writer.h"
#include "engine/watch_session.h"
#include "engine/watch_session_limits.h"

namespace corvane {
namespace {

// The process does not unwind: a worker that can't be started ends it.
template <typename F, typename... Args>
void start_detached(F&& body, Args&&... args) {
    try {
        std::thread(std::forward<F>(body), std::forward<Args>(args)...).detach();
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "Error: could not start a watch thread: %s\n", e.what());
        std::abort();
    }
}

HopStats fresh_host(const WatchHost& entry) {
    HopStats hop;
    hop.host = entry.host;
    hop.label = entry.label;
    return hop;
}

// Sets the flag, then wakes the session's threads, which may be waiting out
// a long interval.
void end_session(WatchTab& tab) {
    if (tab.stop) tab.stop->store(true);
    if (tab.settings) tab.settings->changes.wake_all();
}

}  // namespace

WatchTab new_watch_tab(const std::string& name) {
    WatchTab tab;
    tab.name = name;
    TraceState state = new_monitor_state();
    state.status = "Stopped";
    tab.state = make_shared_state(std::move(state));
    tab.stop = std::make_shared<std::atomic<bool>>(true);
    return tab;
}

void start_watch_tab(WatchTab& tab, const SharedSettingsPtr& settings, const std::vector<WatchHost>& hosts,
                     std::chrono::milliseconds resolve_period) {
    end_session(tab);
    if (hosts.empty()) return;

    // One socket per host: make sure a long list gets its descriptors.
    raise_open_file_limit();

    auto life = std::make_shared<WatchSessionLife>();
    life->stop = std::make_shared<std::atomic<bool>>(false);
    life->hosts_running.store(hosts.size());
    tab.stop = life->stop;
    tab.settings = settings;
    tab.state = make_shared_state(new_monitor_state());
    tab.seen_events = 0;

    HistoryWriterPtr writer =
        new_history_writer(settings, tab.name, "watch_" + sanitize_file_name(tab.name), kWatchEventsLog);

    std::vector<HopStats> fresh;
    fresh.reserve(hosts.size());
    for (const WatchHost& entry : hosts) fresh.push_back(fresh_host(entry));
    {
        std::lock_guard lock(tab.state->mutex);
        tab.state->state.status = "Watching";
        tab.state->state.hops = std::move(fresh);
        tab.state->state.writer = writer;
    }

    for (std::size_t i = 0; i < hosts.size(); ++i) {
        WatchHostContext ctx;
        ctx.host = hosts[i].host;
        ctx.label = hosts[i].label;
        ctx.state = tab.state;
        ctx.settings = settings;
        ctx.life = life;
        ctx.writer = writer;
        ctx.index = i;
        ctx.resolve_period = resolve_period;
        start_detached(watch_host_thread, std::move(ctx));
    }
    start_detached(history_flush_thread, life, writer, settings);
}

void stop_watch_tab(WatchTab& tab) {
    end_session(tab);
    if (tab.state) set_trace_status(tab.state, "Stopped");
}

}  // namespace corvane
