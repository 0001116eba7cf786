#pragma once
// Column widths and the geometry of the strip cells and range bars of the two
// hop tables, apart from any drawing.
#include <array>
#include <cstddef>
#include <vector>

#include "engine/monitor_state.h"
#include "ui/geometry.h"

namespace corvane {

// Wide table: Hop, Router, Added latency, Loss, Last, Avg, Best, Worst,
// Jitter, gap, Last 10 min.
inline constexpr std::size_t kWideColumns = 11;
enum WideColumn : std::size_t {
    kWideHop, kWideRouter, kWideAdded, kWideLoss, kWideLast, kWideAvg, kWideBest, kWideWorst, kWideJitter,
    kWideGap, kWideStrip,
};
std::array<float, kWideColumns> hop_table_column_widths(float w);

// Compact table: Hop, Router, Added latency, Loss, Avg, Jitter, gap, Range.
inline constexpr std::size_t kCompactColumns = 8;
enum CompactColumn : std::size_t {
    kCompactHop, kCompactRouter, kCompactAdded, kCompactLoss, kCompactAvg, kCompactJitter, kCompactGap,
    kCompactRange,
};
std::array<float, kCompactColumns> compact_hop_table_column_widths(float w);

// Left edges of the columns: running sums of the widths from `left`.
template <std::size_t N>
std::array<float, N> column_lefts(float left, const std::array<float, N>& widths) {
    std::array<float, N> out{};
    float x = left;
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = x;
        x += widths[i];
    }
    return out;
}

// The "Last 10 min" strip: 60 cells with gaps of 2 that fill a column of
// `strip_width` exactly while each cell can be at least 1 wide.
inline constexpr int kStripCells = 60;
float strip_cell_width(float strip_width);
// Cell k (0 = oldest) of a strip starting at `strip_left`, centred on `center_y`.
Rect strip_cell_rect(float strip_left, float strip_width, int k, float center_y);

// The common scale of the compact table's range bars: the first step of the
// ladder that holds the slowest worst round trip of the hops that answered.
double range_scale_ms(const std::vector<HopStats>& hops);

// Where a round trip of `ms` falls in a range column of `left` and `width`.
float range_x(float left, float width, double ms, double scale_ms);

struct RangeBar {
    Rect track;
    bool has_bar = false;  // only a hop with replies has a bar and a tick
    Rect bar;
    Rect tick;
};
RangeBar range_bar_geometry(float left, float width, float center_y, const HopStats& hop, double scale_ms);

}  // namespace corvane
