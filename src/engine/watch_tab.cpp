#include "engine/watch_tab.h"

#include <utility>

#include "engine/history_writer.h"
#include "engine/watch_session.h"
#include "engine/watch_session_limits.h"
#include "engine/worker_start.h"
#include "platform/detached_thread.h"

namespace corvane {
namespace {

void set_host_start_error(const SharedTraceState& state, std::size_t index, int err) {
    std::string text = probe_thread_error_text(err);
    std::lock_guard lock(state->mutex);
    if (index < state->state.hops.size()) state->state.hops[index].error = std::move(text);
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

    // The flush thread first: the rows of hosts that run must reach the disk,
    // so when it can't start, no host starts either and the tab stays idle.
    const int flush_err =
        start_detached_thread([life, writer, settings] { history_flush_thread(life, writer, settings); });
    if (flush_err != 0) {
        life->stop->store(true);
        life->hosts_running.store(0);
        set_trace_status(tab.state, probe_thread_error_text(flush_err));
    }
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        int err = flush_err;
        if (err == 0) {
            WatchHostContext ctx;
            ctx.host = hosts[i].host;
            ctx.label = hosts[i].label;
            ctx.state = tab.state;
            ctx.settings = settings;
            ctx.life = life;
            ctx.writer = writer;
            ctx.index = i;
            ctx.resolve_period = resolve_period;
            err = start_detached_thread([ctx = std::move(ctx)]() mutable { watch_host_thread(std::move(ctx)); });
            // The flush thread must not wait for a thread that never ran.
            if (err != 0) life->host_ended();
        }
        // The hosts that did start keep running; this one says why it doesn't.
        if (err != 0) set_host_start_error(tab.state, i, err);
    }
}

void stop_watch_tab(WatchTab& tab) {
    end_session(tab);
    if (tab.state) set_trace_status(tab.state, "Stopped");
}

}  // namespace corvane
