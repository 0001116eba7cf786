#pragma once
// The monitor state of one trace, watch list or playback: written by the
// session's workers, copied whole by the window once per frame.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/sample_ring.h"
#include "platform/ipv4.h"

namespace corvane {

class HistoryWriter;

inline constexpr std::size_t kSampleCap = 3600;

// A sample is a round trip in milliseconds, or NaN for a lost probe; a float
// rather than an optional keeps the rings compact.
using Sample = float;
inline constexpr Sample kLostSample = std::numeric_limits<float>::quiet_NaN();
inline bool sample_lost(Sample s) { return std::isnan(s); }
inline std::optional<float> sample_value(Sample s) {
    return sample_lost(s) ? std::nullopt : std::optional<float>(s);
}

// One hop of a route, or one watched host.
struct HopStats {
    SampleRing<Sample, kSampleCap> samples;
    SampleRing<std::int64_t, kSampleCap> sample_times;  // same length as samples
    std::optional<std::string> name;   // reverse lookup: none = not yet, "" = no name
    std::optional<std::string> host;   // watch only: host text from the list
    std::optional<std::string> label;  // watch only
    std::optional<std::string> error;  // watch only: "Name does not resolve"
    std::uint64_t rtt_sum = 0;
    double jitter = 0.0;
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
    std::uint32_t last = 0;
    std::uint32_t best = 0;
    std::uint32_t worst = 0;
    std::optional<Ipv4Addr> addr;
};

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
};

struct TraceState {
    std::string status = "Starting";
    std::vector<HopStats> hops;
    std::vector<RouteEvent> events;
    std::optional<std::string> history_file;
    std::optional<std::string> history_error;
    std::unordered_map<Ipv4Addr, std::string> dns_cache;
    std::unordered_set<Ipv4Addr> dns_pending;
    std::int64_t started_ms = 0;
    std::int64_t last_trace_ms = 0;
    std::shared_ptr<HistoryWriter> writer;
    std::optional<Ipv4Addr> target_addr;
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
// The same copy into a state kept from the last frame: reusing its blocks
// spares the allocator a fresh megabyte (and its page faults) every frame.
void clone_trace_state_into(const TraceState& state, TraceState& out);

// Records one probe: a round trip in ms, or nothing for a loss.
void hop_stats_record(HopStats& hop, std::optional<std::uint32_t> rtt, std::int64_t time_ms);
void record_sample_now(HopStats& hop, std::optional<std::uint32_t> rtt);

void set_trace_status(const SharedTraceState& shared, const std::string& text);

// Appends an event stamped now; its text also goes to the session's event log
// (outside the lock).
void push_route_event(const SharedTraceState& shared, RouteEventKind kind, const std::string& text,
                      std::optional<std::string> detail = std::nullopt);

}  // namespace corvane
