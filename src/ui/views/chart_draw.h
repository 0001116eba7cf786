#pragma once
// Painting the latency charts under their header row.
#include <cstdint>

#include "engine/monitor_state.h"
#include "ui/geometry.h"

struct ImDrawList;

namespace corvane {

// The horizontal grid and its labels for the largest value; returns the axis
// top in ms.
double draw_chart_grid(ImDrawList* dl, const Rect& plot, double largest);

// The line chart of one hop or host in `space` (the width and height left
// below the header).
void draw_line_chart(const HopStats& hop, std::uint64_t window_secs, std::uint64_t probe_ms, Rect space);

// The 60-bar chart's body in `space`; `now` is the frame's time.
void draw_bar_chart_body(const HopStats& hop, std::uint64_t window_secs, std::int64_t now, Rect space);

struct ChartArea {
    Rect rect;
    bool hovered = false;
};
// Allocates the chart area at the top of `space` (hover only).
ChartArea allocate_chart_area(Rect space);

}  // namespace corvane
