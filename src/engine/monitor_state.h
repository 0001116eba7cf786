#pragma once
// The monitor state of one trace, watch list or playback: written by the
// session's workers, copied by the window once per frame.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/append_log.h"
#include "engine/change_stamp.h"
#include "engine/hop_list.h"
#include "engine/hop_stats.h"
#include "platform/ipv4.h"

namespace corvane {

class HistoryWriter;

enum class RouteEventKind : std::uint8_t {
    Info = 0,
    RouteChange = 1,
    HostDown = 2,
    HostUp = 3,
};

struct RouteEvent {
    std::string text;
    std::optional<std::string> detail;  // before-and-after table of a length change
    std::int64_t time_ms = 0;
    RouteEventKind kind = RouteEventKind::Info;

    bool operator==(const RouteEvent&) const = default;
};

// The hop table, the events and the lookup maps change only in ways the
// window's copy can follow (see refresh_trace_copy); a field added here must
// be copied there too, which fails to compile until it is.
struct TraceState {
    std::string status = "Starting";
    HopList hops;
    AppendLog<RouteEvent> events;
    std::optional<std::string> history_file;
    std::optional<std::string> history_error;
    Stamped<std::unordered_map<Ipv4Addr, std::string>> dns_cache;
    Stamped<std::unordered_set<Ipv4Addr>> dns_pending;
    std::int64_t started_ms = 0;
    std::int64_t last_trace_ms = 0;
    std::shared_ptr<HistoryWriter> writer;
    std::optional<Ipv4Addr> target_addr;

    bool operator==(const TraceState&) const = default;
};

// A TraceState with the one mutex that guards all of it.
struct GuardedTraceState {
    mutable std::mutex mutex;
    TraceState state;
};
using SharedTraceState = std::shared_ptr<GuardedTraceState>;

TraceState new_monitor_state();
SharedTraceState make_shared_state(TraceState state);

// A deep copy; the copy shares the source's history writer.
TraceState clone_trace_state(const TraceState& state);

// Records one probe: a round trip in ms, or nothing for a loss.
void hop_stats_record(HopStats& hop, std::optional<std::uint32_t> rtt, std::int64_t time_ms);
void record_sample_now(HopStats& hop, std::optional<std::uint32_t> rtt);

void set_trace_status(const SharedTraceState& shared, const std::string& text);

// Appends an event stamped now; its text also goes to the session's event log
// (outside the lock).
void push_route_event(const SharedTraceState& shared, RouteEventKind kind, const std::string& text,
                      std::optional<std::string> detail = std::nullopt);

}  // namespace corvane
