#pragma once
// Where the watch view's pieces go, worked out apart from any drawing.
#include <array>

#include "ui/geometry.h"

namespace corvane {

// The ten columns of the watch table, left to right: status dot, Host, Last,
// Avg, Loss, Jitter, Status, gap, "Last 10 min" strip, Trace button.
enum WatchColumn : int {
    kWatchColDot,
    kWatchColHost,
    kWatchColLast,
    kWatchColAvg,
    kWatchColLoss,
    kWatchColJitter,
    kWatchColStatus,
    kWatchColGap,
    kWatchColStrip,
    kWatchColTrace,
    kWatchColumnCount,
};
using WatchColumnWidths = std::array<float, kWatchColumnCount>;

// Sum of every column but Host and the strip.
inline constexpr float kWatchFixedColumns = 570.0f;

WatchColumnWidths watch_table_column_widths(float available_width);

// The x positions a row and the header row share, from the row's left edge.
struct WatchRowColumns {
    float host_left = 0.0f;
    float host_clip_right = 0.0f;  // the host cell is cut 10 short of its column
    float last_right = 0.0f;
    float avg_right = 0.0f;
    float loss_right = 0.0f;
    float jitter_right = 0.0f;
    float status_left = 0.0f;
    float status_clip_right = 0.0f;
    float strip_left = 0.0f;
    float strip_right = 0.0f;
};
WatchRowColumns watch_row_columns(float left, float available_width);

inline constexpr float kWatchRowHeight = 44.0f;
inline constexpr float kWatchHeaderRowHeight = 34.0f;
inline constexpr int kWatchStripCells = 60;

// Cell k of a "Last 10 min" strip: c = max((width - 118) / 60, 1) wide at a
// pitch of c + 2, 22 high around the row's centre.
Rect watch_strip_cell(float strip_left, float strip_width, float center_y, int k);

// The row's "Trace" button: its last 58 points, 26 high around the centre.
Rect watch_trace_button(Rect row);

// The header's name block: clamp(0.22 x available, 200, 320) wide.
float watch_name_block_width(float available_width);

// The "Edit" button sits 12 after the title but never past 56 from the
// block's right edge; 48 x 24, 6 below the block's top.
Rect watch_edit_button(Rect block, float title_right);

}  // namespace corvane
