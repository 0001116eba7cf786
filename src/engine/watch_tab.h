#pragma once
// One open watch list: its record, and starting and stopping its session.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/monitor_state.h"
#include "engine/shared_settings.h"

namespace corvane {

// One host of a watch list as the session needs it. The engine doesn't read
// list files itself; the application parses the list and hands these over.
struct WatchHost {
    std::string host;                  // an IPv4 address or a host name
    std::optional<std::string> label;  // shown instead of the host when present
};

// How long a host keeps its resolved address before its name is looked up
// again. Tests shorten it to watch a name move.
inline constexpr std::chrono::milliseconds kWatchResolvePeriod{300'000};

struct WatchTab {
    std::optional<std::size_t> selected;
    std::string name;
    SharedTraceState state;
    // true = stopped. Each start makes a fresh flag, so the threads of an
    // earlier session keep seeing their own (set) flag.
    std::shared_ptr<std::atomic<bool>> stop;
    // The settings the running session's threads wait on: a stop wakes them
    // through it, so they end at once however long their interval.
    SharedSettingsPtr settings;
    std::size_t seen_events = 0;
};

// A stopped tab: status "Stopped", no threads.
WatchTab new_watch_tab(const std::string& name);

// (Re)starts the tab's session on the given hosts: any running session of the
// tab winds down first. With no hosts nothing new is made and the tab keeps
// its old state and its (now set) stop flag.
void start_watch_tab(WatchTab& tab, const SharedSettingsPtr& settings, const std::vector<WatchHost>& hosts,
                     std::chrono::milliseconds resolve_period = kWatchResolvePeriod);

// Sets the stop flag and the status "Stopped"; statistics and events stay.
void stop_watch_tab(WatchTab& tab);

}  // namespace corvane
