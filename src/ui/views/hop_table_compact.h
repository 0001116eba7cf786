#pragma once
// The Signal layout's compact hop table: only Avg among the round trips, and
// a range bar per hop against a scale common to all hops.
#include <array>
#include <string>

#include "ui/geometry.h"
#include "ui/views/hop_table_rows.h"

namespace corvane {

// The card around the table in `area`, the scale, the header and the rows.
void compact_hop_table_panel(HopTableInputs& in, Rect area);
// Header row with the scale's ticks at the top of `area`, then the rows.
void draw_compact_hop_table_header(HopTableInputs& in, Rect area, double scale_ms);
// Body of the range column's tooltip.
void range_column_tooltip();
// One 35-point row per hop at the cursor, `width` wide.
void draw_compact_hop_rows(HopTableInputs& in, float width, double scale_ms);

// The scale's five tick texts: 0, a quarter, half, three quarters, and the
// whole scale with its unit.
std::array<std::string, 5> range_tick_labels(double scale_ms);

}  // namespace corvane
