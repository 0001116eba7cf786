#pragma once
// The colours of a hop's "Last 10 min" strip: one cell per ten seconds, the
// oldest first, the last one the current, partly elapsed period.
#include <array>
#include <cstdint>

#include "engine/monitor_state.h"
#include "main/hop_verdicts.h"
#include "ui/color.h"
#include "ui/views/hop_table_layout.h"

namespace corvane {

inline constexpr Color32 kStripEmpty = rgb(21, 21, 21);

using StripColors = std::array<Color32, kStripCells>;

// Unix ms at which cell 0 begins: 590 s before the start of now's period.
std::int64_t strip_start_ms(std::int64_t now_ms);

void compute_strip_cell_colors(StripColors& out, const HopStats& hop, HopClass cls, bool selected, std::int64_t now_ms);

}  // namespace corvane
