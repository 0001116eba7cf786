#include "ui/views/hop_table_layout.h"

#include <algorithm>
#include <cmath>

namespace corvane {

std::array<float, kWideColumns> hop_table_column_widths(float w) {
    const float router = std::min(360.0f, std::max(230.0f, 0.24f * w));
    // 540 is every fixed column together: Hop, the seven values and the gap.
    const float strip = std::max(180.0f, w - 540.0f - router);
    return {56, router, 104, 64, 56, 56, 56, 62, 62, 24, strip};
}

std::array<float, kCompactColumns> compact_hop_table_column_widths(float w) {
    // The range column takes 36 % of the table but leaves the router its 200
    // (360 is the fixed columns), so the table never outgrows its card at the
    // narrowest window; from a table of 875 up this is the plain 36 %.
    const float range = std::max(200.0f, std::min(0.36f * w, w - 560.0f));
    const float router = std::max(200.0f, w - 360.0f - range);
    return {52, router, 104, 64, 56, 60, 24, range};
}

float strip_cell_width(float strip_width) { return std::max((strip_width - 118.0f) / 60.0f, 1.0f); }

Rect strip_cell_rect(float strip_left, float strip_width, int k, float center_y) {
    const float c = strip_cell_width(strip_width);
    const float left = strip_left + static_cast<float>(k) * (c + 2.0f);
    return {left, center_y - 11.0f, left + c, center_y + 11.0f};
}

double range_scale_ms(const std::vector<HopStats>& hops) {
    std::uint32_t max_worst = 0;
    for (const HopStats& h : hops)
        if (h.received > 0) max_worst = std::max(max_worst, h.worst);
    static constexpr double kLadder[] = {40, 60, 80, 100, 150, 200, 300, 500, 1000, 2000, 5000};
    for (double step : kLadder)
        if (step >= max_worst) return step;
    return 5000;
}

float range_x(float left, float width, double ms, double scale_ms) {
    double f = scale_ms > 0 ? ms / scale_ms : 0.0;
    if (!std::isfinite(f)) f = 0.0;
    return left + width * static_cast<float>(std::clamp(f, 0.0, 1.0));
}

RangeBar range_bar_geometry(float left, float width, float center_y, const HopStats& hop, double scale_ms) {
    RangeBar out;
    out.track = {left, center_y - 3.0f, left + width, center_y + 3.0f};
    if (hop.received == 0) return out;
    out.has_bar = true;
    const float xb = range_x(left, width, hop.best, scale_ms);
    const float xw = std::max(range_x(left, width, hop.worst, scale_ms), xb + 3.0f);
    out.bar = {xb, center_y - 3.0f, xw, center_y + 3.0f};
    const double avg = static_cast<double>(hop.rtt_sum) / hop.received;
    const float xa = range_x(left, width, avg, scale_ms);
    out.tick = {xa - 1.0f, center_y - 7.0f, xa + 1.0f, center_y + 7.0f};
    return out;
}

}  // namespace corvane
