#include "ui/views/watch_view_layout.h"

#include <algorithm>

namespace corvane {

WatchColumnWidths watch_table_column_widths(float w) {
    const float host = std::clamp(0.24f * w, 220.0f, 340.0f);
    const float strip = std::max(w - kWatchFixedColumns - host, 160.0f);
    return {40.0f, host, 60.0f, 60.0f, 64.0f, 62.0f, 190.0f, 24.0f, strip, 70.0f};
}

WatchRowColumns watch_row_columns(float left, float available_width) {
    const WatchColumnWidths w = watch_table_column_widths(available_width);
    WatchRowColumns c;
    c.host_left = left + w[kWatchColDot];
    c.host_clip_right = c.host_left + w[kWatchColHost] - 10.0f;
    c.last_right = c.host_left + w[kWatchColHost] + w[kWatchColLast];
    c.avg_right = c.last_right + w[kWatchColAvg];
    c.loss_right = c.avg_right + w[kWatchColLoss];
    c.jitter_right = c.loss_right + w[kWatchColJitter];
    c.status_left = c.jitter_right + w[kWatchColGap];
    c.status_clip_right = c.status_left + 162.0f;
    c.strip_left = c.jitter_right + w[kWatchColStatus] + w[kWatchColGap];
    c.strip_right = c.strip_left + w[kWatchColStrip];
    return c;
}

Rect watch_strip_cell(float strip_left, float strip_width, float center_y, int k) {
    const float c = std::max((strip_width - 118.0f) / 60.0f, 1.0f);
    const float x = strip_left + static_cast<float>(k) * (c + 2.0f);
    return {x, center_y - 11.0f, x + c, center_y + 11.0f};
}

Rect watch_trace_button(Rect row) {
    const float cy = row.center().y;
    return {row.right - 58.0f, cy - 13.0f, row.right, cy + 13.0f};
}

float watch_name_block_width(float available_width) { return std::clamp(0.22f * available_width, 200.0f, 320.0f); }

Rect watch_edit_button(Rect block, float title_right) {
    const float left = std::min(title_right + 12.0f, block.right - 56.0f);
    return {left, block.top + 6.0f, left + 48.0f, block.top + 30.0f};
}

}  // namespace corvane
