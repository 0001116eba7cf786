#include "ui/views/hop_table_strip.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {

namespace {

constexpr std::int64_t kPeriod = 10'000;
constexpr std::int64_t kSpan = 590'000;

Color32 level_color(double n, bool selected) {
    auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); };
    if (selected) return rgb(channel(70 + 185 * n), channel(26 + 64 * n), channel(8 + 4 * n));
    const std::uint8_t g = channel(36 + 52 * n);
    return rgb(g, g, g);
}

}  // namespace

std::int64_t strip_start_ms(std::int64_t now_ms) {
    // Floor division, so times before 1970 fall into the right period too.
    std::int64_t period = now_ms / kPeriod;
    if (now_ms % kPeriod != 0 && now_ms < 0) --period;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    if (period < (lowest + kSpan) / kPeriod) return lowest;  // a clock this far back has nothing to show
    return period * kPeriod - kSpan;
}

void compute_strip_cell_colors(StripColors& out, const HopStats& hop, HopClass cls, bool selected,
                               std::int64_t now_ms) {
    out.fill(kStripEmpty);
    if (hop.received == 0) return;

    std::array<int, kStripCells> probes{};
    std::array<int, kStripCells> lost{};
    std::array<double, kStripCells> largest{};
    const std::int64_t start = strip_start_ms(now_ms);
    // Rings of unequal length are paired at their newest ends.
    const std::size_t n = std::min(hop.samples.size(), hop.sample_times.size());
    const std::size_t s0 = hop.samples.size() - n, t0 = hop.sample_times.size() - n;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t t = hop.sample_times[t0 + i];
        if (t < start) continue;
        // t >= start, so the unsigned difference is exact.
        const std::uint64_t offset = static_cast<std::uint64_t>(t) - static_cast<std::uint64_t>(start);
        const std::size_t cell = static_cast<std::size_t>(std::min<std::uint64_t>(offset / kPeriod, kStripCells - 1));
        ++probes[cell];
        const Sample s = hop.samples[s0 + i];
        if (sample_lost(s))
            ++lost[cell];
        else
            largest[cell] = std::max(largest[cell], static_cast<double>(s));
    }

    const double avg = static_cast<double>(hop.rtt_sum) / static_cast<double>(hop.received);
    const double best = hop.best;
    const double span = std::max(best + 1.0, static_cast<double>(hop.worst)) - best;
    for (int c = 0; c < kStripCells; ++c) {
        if (probes[c] == 0) continue;
        if (lost[c] > 0) {
            out[c] = cls == HopClass::None ? rgb(255, 59, 59) : rgb(74, 84, 104);
            continue;
        }
        const double m = largest[c];
        if (m > 1.5 * avg && m - avg > 6) {
            out[c] = rgb(245, 197, 66);
            continue;
        }
        double level = (m - best) / span;
        if (!std::isfinite(level)) level = 0.0;
        out[c] = level_color(std::clamp(level, 0.0, 1.0), selected);
    }
}

}  // namespace corvane
