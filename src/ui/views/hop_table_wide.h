#pragma once
// The Instrument layout's wide hop table: Last, Avg, Best and Worst columns
// and a ten-minute strip per hop.
#include "ui/geometry.h"
#include "ui/views/hop_table_rows.h"

namespace corvane {

// Header row at the top of `area`, then the rows in a scroll area filling the rest.
void draw_wide_hop_table_header(HopTableInputs& in, Rect area);
// One 40-point row per hop at the cursor, `width` wide.
void draw_wide_hop_rows(HopTableInputs& in, float width);

}  // namespace corvane
