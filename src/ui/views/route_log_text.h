#pragma once
// The Signal layout's left panel in words and numbers: the destination card,
// the two tiles, the route log's summary and entries and the route-change
// comparison lines. Pure: built per frame from one snapshot, nothing kept.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/monitor_state.h"
#include "main/color.h"

namespace corvane {

struct DestinationCardTexts {
    std::string value;   // average RTT "{:.0}", or "·" without replies
    bool show_ms = false;
    std::string detail;  // address, name and best / worst, joined by four spaces
};
DestinationCardTexts destination_card_texts(const TraceState& state);

struct DeliveredTileTexts {
    std::string percent;  // "{:.1}%", or "·" without probes
    std::string sub;      // "{} of {} lost", or "no data yet"
    float delivered = 0;  // share of probes answered, 0..1; no arc at 0
};
DeliveredTileTexts delivered_tile_texts(const TraceState& state);

struct JitterTileTexts {
    std::string value;    // "{:.1}", or "·" without replies
    std::string verdict;
    float fraction = 0;   // of the bar; 0 without replies, else 0.02..1
};
JitterTileTexts jitter_tile_texts(const TraceState& state);

// "{} hops, {} change(s)" / "{} hops, stable"; empty without hops.
std::string route_log_summary(const TraceState& state);

Color32 route_event_color(RouteEventKind kind);
inline constexpr Color32 kNoChangeColor = rgb(74, 74, 74);

// One row of the log. `detail` points into the snapshot it was built from.
struct RouteLogEntry {
    std::string text;
    std::int64_t time_ms = 0;
    Color32 color;
    const std::string* detail = nullptr;
};

// Display order: the "Route check, no change" row when the last check found
// nothing new (never while checks are off, so never for a recording), then
// the events newest first.
std::vector<RouteLogEntry> route_log_entries(const TraceState& state, std::uint64_t route_secs);

struct RouteLogComparisonLine {
    std::string text;
    Color32 color;
    bool changed = false;  // a hop whose router changed
};
// The route-change table split into its lines, trailing change markers
// stripped and changed rows marked by colour.
std::vector<RouteLogComparisonLine> route_log_comparison_lines(std::string_view detail);

// The table in at most `max_lines` lines, for a window too short for all of
// it: the header and the changed rows stay, and unchanged rows give way,
// those farthest from a change first; each run that gave way becomes one
// "… {n} unchanged hops" line. Only where the changed rows alone are too many
// do the last of them give way too, as one "… {n} more hops" line.
std::vector<RouteLogComparisonLine> fit_route_comparison(const std::vector<RouteLogComparisonLine>& lines,
                                                         std::size_t max_lines);

}  // namespace corvane
