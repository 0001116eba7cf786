#pragma once
// The header row above every latency chart: what is charted, the legend of
// the chart's kind, and the chart window selector at the right end.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/monitor_state.h"
#include "ui/geometry.h"

struct ImDrawList;

namespace corvane {

enum class LegendKind : unsigned char {
    LatencyLine = 0,
    LostProbeTick = 1,
    Spike = 2,
    AverageBar = 3,
    LostProbes = 4,
};

inline constexpr float kChartHeaderHeight = 32.0f;
inline constexpr float kWindowComboWidth = 92.0f;

// The title of a trace hop's chart: its label, else its host text, else
// "Hop N"; none when the index is past the hops.
std::optional<std::string> chart_hop_title(std::span<const HopStats> hops, std::size_t index);

// The title of a watched host's chart: its label, else its host text, else
// nothing at all (an empty title still charts the host).
std::string chart_host_title(const HopStats& host);

// The header of a trace hop's chart in `row`.
void chart_header_for_hop(Rect row, std::span<const HopStats> hops, std::size_t index, std::uint64_t& window_secs,
                          bool bar_chart);

// Lays the row out and draws it. Without a title or a hop the row says
// "Nothing selected yet".
void chart_header_row(Rect row, const std::optional<std::string>& title, const HopStats* hop,
                      std::uint64_t& window_secs, bool bar_chart);

// The row's contents; `row` is the rectangle they are laid out in.
void draw_chart_header(Rect row, const std::optional<std::string>& title, const HopStats* hop,
                       std::uint64_t& window_secs, bool bar_chart);

// One legend entry with its left edge at x, centred on cy; returns its right edge.
float draw_legend_item(ImDrawList* dl, float x, float cy, LegendKind kind, const char* label);
// Paints just the glyph, centred in the 14 x 14 box.
void paint_legend_glyph(ImDrawList* dl, Rect box, LegendKind kind);

// The combo box ending at `right`, centred on cy, with the minutes field to
// its left while the window is custom. Returns the selector's left edge.
float draw_window_selector(float right, float cy, std::uint64_t& window_secs);

// The combo's list: the presets, then "Custom…".
void draw_window_preset_menu(std::uint64_t& window_secs);

}  // namespace corvane
