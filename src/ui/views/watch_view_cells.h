#pragma once
// What each cell of the watch view says and in which colour, apart from any
// drawing.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/host_status.h"
#include "engine/monitor_state.h"
#include "main/app.h"
#include "main/color.h"

namespace corvane {

struct CellText {
    std::string text;
    Color32 color;
    friend bool operator==(const CellText&, const CellText&) = default;
};

// Round-trip colour: red above 250 ms, amber above 100, else the value white.
Color32 watch_rtt_color(double ms);

// The numeric cells; "·" in the dim grey while there is nothing to show.
CellText watch_last_cell(const HopStats& host);
CellText watch_avg_cell(const HopStats& host);
CellText watch_loss_cell(const HopStats& host);
CellText watch_jitter_cell(const HopStats& host);

// The host cell's two lines: the label (else the host text) and the
// "  ·  "-joined details that add to it.
std::string watch_host_name_line(const HopStats& host);
std::string watch_host_detail_line(const HopStats& host);

// Per class: the dot's colour and the status text's colour.
Color32 watch_status_dot_color(HostStatusKind kind);
Color32 watch_status_text_color(HostStatusKind kind);

// The header's four counts. Waiting hosts count nowhere; Error counts as Down.
struct WatchCounts {
    std::size_t up = 0;
    std::size_t degraded = 0;
    std::size_t down = 0;
    std::size_t outages = 0;
    std::optional<std::int64_t> newest_outage_ms;
};
WatchCounts count_watch_statuses(const std::vector<HostStatusKind>& statuses, const std::vector<RouteEvent>& events);

// A count in the card's own colour, or in the main text colour at 0.
Color32 watch_count_color(std::size_t count, Color32 card_color);

// "{} hosts  ·  since {}" with the start's clock time without seconds.
std::string watch_header_sub_line(std::size_t hosts, std::int64_t started_ms);

// The Outages card's sub text: "last {}" (with seconds) or "none so far".
std::string watch_outages_sub_text(const std::optional<std::int64_t>& newest_ms);

// The title of the header: the recording's while one is on view, else the
// active watch tab's name; empty when there is neither.
std::string watch_list_name(const App& app, bool showing_recording);


}  // namespace corvane
