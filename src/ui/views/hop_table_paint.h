#pragma once
// Painting the pieces both hop tables share: the router cell, the hop node on
// the path line, value cells, the strip and the status line of an empty table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/monitor_state.h"
#include "main/hop_verdicts.h"
#include "ui/geometry.h"
#include "ui/views/hop_table_cells.h"

struct ImDrawList;

namespace corvane {

// Who answered at this hop; clipped to `rect`. `compact` puts everything on
// one row (the Signal layout).
void draw_hop_router_cell(ImDrawList* dl, Rect rect, const HopStats& hop, HopClass cls, bool compact);

// The hop number on the path line that runs through the rows.
void draw_hop_node(ImDrawList* dl, float cx, float cy, float row_top, float row_bottom, std::size_t index,
                   std::size_t count, std::uint32_t received, float radius);

// A value cell right-aligned 6 in from `column_right`, on the row centre.
void paint_value_cell(ImDrawList* dl, float column_right, float center_y, const CellText& cell);

// The hop's "Last 10 min" cells.
void paint_hop_strip(ImDrawList* dl, float strip_left, float strip_width, float center_y, const HopStats& hop,
                     HopClass cls, bool selected, std::int64_t now_ms);

// What an empty table shows: the session's status, 24 below the top.
void paint_empty_table_status(ImDrawList* dl, Vec2 top_left, std::string_view status);

}  // namespace corvane
