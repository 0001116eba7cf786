#pragma once
// The arithmetic of the latency charts: the y-axis grid, which probes the line
// chart shows and where, the bar chart's time range and bins, spikes, bar
// colours and hover picks. No drawing here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/monitor_state.h"
#include "ui/color.h"
#include "ui/geometry.h"

namespace corvane {

class UiMemory;

// ---- Shared ----

enum class ChartKind : unsigned char { Line, Bar };

// The chart area's height for the height available below the header.
float chart_area_height(float available_height);
// The plot inside the chart area; none when it is too small to draw in.
std::optional<Rect> chart_plot_rect(Rect area, ChartKind kind);

struct ChartGrid {
    double step = 10.0;
    double top = 30.0;  // the axis top in ms
};
// Step and axis top for the largest value shown: the first usual step that
// reaches the value (plus a tenth) in at most 4 steps, else 2000. Only where
// that would draw more than `max_lines` lines (what the plot has room for)
// does the ladder go on, 5000, 10000, 20000, 25000, 50000, ..., so a wild
// round trip cannot ask for millions of grid lines.
ChartGrid chart_grid(double largest, int max_lines);
// How many grid lines a plot `plot_height` high shows with labels `label_height`
// high apart (at least 2: 0 and the top).
int chart_grid_room(float plot_height, float label_height);
// The values that get a grid line: 0, step, 2 x step, ... up to the top.
std::vector<double> chart_grid_values(const ChartGrid& g);
// "0 ms" for 0, else the whole number.
std::string chart_grid_label(double v);
float chart_y(const Rect& plot, double v, double axis_top);

// "{:.0} ms"; anything not finite reads as 0.
std::string format_ms0(double v);

// How many probes both rings hold, counted from their newest ends (the rings
// of one hop grow together, but a copy could catch them one apart).
struct AlignedRings {
    std::size_t count = 0;
    std::size_t sample_offset = 0;
    std::size_t time_offset = 0;
};
AlignedRings align_rings(const HopStats& hop);

// ---- Line chart ----

// Probes per chart width: window / interval, between 2 and 3600.
std::size_t line_chart_capacity(std::uint64_t window_secs, std::uint64_t probe_ms);

struct LineProbe {
    float x = 0.0f;
    std::optional<float> rtt;  // none = lost
    std::int64_t time_ms = 0;
};

// The newest min(capacity, ring length) probes, oldest first, placed so the
// newest sits on the plot's right edge.
struct LineChartData {
    std::size_t capacity = 2;
    float pitch = 0.0f;
    std::vector<LineProbe> probes;
    double largest = 20.0;  // at least 20
};
LineChartData line_chart_data(const HopStats& hop, std::size_t capacity, const Rect& plot);

// Runs of consecutive replies, as [first, last] indices into the probes; the
// lost probes between them are the ticks.
struct LineSegments {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::vector<std::size_t> lost;
};
LineSegments line_segments(const std::vector<LineProbe>& probes);

struct TimeMark {
    float x = 0.0f;
    bool line = false;                         // a vertical time line (all but the newest)
    std::optional<std::size_t> label_probe;    // probe index whose time is written
    bool newest = false;
};
std::vector<TimeMark> line_time_marks(const LineChartData& d, const Rect& plot);

// The probe under the pointer: nearest by x (the older one on a tie) and
// closer than max(pitch, 10). None outside the plot.
std::optional<std::size_t> line_hover_probe(const LineChartData& d, const Rect& plot, Vec2 pointer);

// ---- Bar chart ----

inline constexpr std::size_t kBarBins = 60;

// The reference time: frozen at the first hovered frame's `now` for as long
// as the hover lasts. Returns the time and whether it is frozen.
struct ChartClock {
    std::int64_t t = 0;
    bool frozen = false;
};
ChartClock bar_chart_clock(UiMemory& memory, unsigned int id, bool hovered, std::int64_t now);

struct BarBin {
    double sum = 0.0;
    std::uint32_t replies = 0;
    std::uint32_t lost = 0;
    bool any() const { return replies > 0 || lost > 0; }
    std::optional<double> value() const {
        return replies > 0 ? std::optional<double>(sum / replies) : std::nullopt;
    }
};

struct BarChartData {
    std::int64_t window_ms = 1;
    std::int64_t start = 0, end = 0;
    std::int64_t bin_ms = 1;
    bool full = false;  // the history covers the whole window
    std::array<BarBin, kBarBins> bins{};
    std::optional<std::size_t> newest;
    double largest = 20.0;
    double average = 0.0;  // all-time, for spikes
};
BarChartData bar_chart_data(const HopStats& hop, std::uint64_t window_secs, std::int64_t t);

bool is_spike(double value, double average);
Color32 bar_color(std::size_t bin, std::optional<std::size_t> newest, bool spike);

// Horizontal extent of bin i (its bar and its hover outline).
std::pair<float, float> bar_x_range(const Rect& plot, std::size_t bin);
std::size_t bar_hover_bin(const Rect& plot, float x);

// Where the reference time's label ends: the plot's share of the window
// elapsed, but never closer than 150 to the left edge.
float bar_now_label_x(const Rect& plot, const BarChartData& d, std::int64_t t);

struct TooltipValue {
    std::string text;
    Color32 color;
};
// The hover box's value for a bin; none for an empty bin.
std::optional<TooltipValue> bar_tooltip_value(const BarBin& bin, double average);

}  // namespace corvane
