#include "ui/views/chart_math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "ui/palette.h"
#include "ui/ui_memory.h"

namespace corvane {

namespace {

constexpr std::array<double, 11> kGridSteps{5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000};
constexpr Color32 kOldBar = rgb(46, 46, 46);

double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

// A probe's round trip as the charts use it; anything not finite counts as lost.
std::optional<float> chart_rtt(Sample s) {
    if (!std::isfinite(s)) return std::nullopt;
    return std::max(s, 0.0f);
}

}  // namespace

float chart_area_height(float available_height) { return std::max(available_height - 2.0f, 100.0f); }

std::optional<Rect> chart_plot_rect(Rect area, ChartKind kind) {
    const Rect plot{area.left + (kind == ChartKind::Line ? 48.0f : 44.0f), area.top + 8.0f, area.right - 4.0f,
                    area.bottom - 24.0f};
    if (plot.width() < 60.0f || plot.height() < 30.0f) return std::nullopt;
    return plot;
}

ChartGrid chart_grid(double largest, int max_lines) {
    const double target = std::max(finite_or_zero(largest), 0.0) * 1.1;
    double step = kGridSteps.back();
    for (double s : kGridSteps)
        if (target / s <= 4.0) {
            step = s;
            break;
        }
    // Beyond 2000: 5, 10, 20 and 25 times a thousand, ten thousand, ...
    const auto too_many = [&](double s) { return std::ceil(target / s) + 1.0 > std::max(max_lines, 2); };
    for (double scale = 1000.0; too_many(step); scale *= 10.0)
        for (double m : {5.0, 10.0, 20.0, 25.0})
            if (m * scale > step) {
                step = m * scale;
                if (!too_many(step)) break;
            }
    return {step, std::ceil(target / step) * step};
}

int chart_grid_room(float plot_height, float label_height) {
    if (!(plot_height > 0.0f) || !(label_height > 0.0f)) return 2;
    return std::max(2, static_cast<int>(std::min(plot_height / label_height, 1.0e6f)) + 1);
}

std::vector<double> chart_grid_values(const ChartGrid& g) {
    std::vector<double> out;
    if (!(g.step > 0.0)) return out;
    for (int i = 0;; ++i) {
        const double v = i * g.step;
        if (v > g.top + 0.01) break;
        out.push_back(v);
    }
    return out;
}

std::string chart_grid_label(double v) {
    if (v == 0.0) return "0 ms";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", finite_or_zero(v));
    return buf;
}

float chart_y(const Rect& plot, double v, double axis_top) {
    if (!(axis_top > 0.0)) return plot.bottom;
    return static_cast<float>(plot.bottom - finite_or_zero(v) / axis_top * plot.height());
}

std::string format_ms0(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.0f ms", finite_or_zero(v));
    return buf;
}

AlignedRings align_rings(const HopStats& hop) {
    const std::size_t ns = hop.samples.size(), nt = hop.sample_times.size();
    const std::size_t n = std::min(ns, nt);
    return {n, ns - n, nt - n};
}

// ---- Line chart ----

std::size_t line_chart_capacity(std::uint64_t window_secs, std::uint64_t probe_ms) {
    const std::uint64_t p = probe_ms < 2 ? 1 : probe_ms;
    // Any window past an hour of 1 ms probes is capped anyway; bounding it
    // first keeps the product from overflowing.
    const std::uint64_t w = std::min<std::uint64_t>(window_secs, 1'000'000'000);
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(w * 1000 / p, 2, kSampleCap));
}

LineChartData line_chart_data(const HopStats& hop, std::size_t capacity, const Rect& plot) {
    LineChartData d;
    d.capacity = std::max<std::size_t>(capacity, 2);
    d.pitch = plot.width() / static_cast<float>(std::max<std::size_t>(d.capacity - 1, 1));
    const AlignedRings a = align_rings(hop);
    const std::size_t count = std::min(d.capacity, a.count);
    d.probes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = a.count - count + i;
        LineProbe p;
        p.x = plot.right - static_cast<float>(count - 1 - i) * d.pitch;
        p.rtt = chart_rtt(hop.samples[a.sample_offset + k]);
        p.time_ms = hop.sample_times[a.time_offset + k];
        if (p.rtt) d.largest = std::max(d.largest, static_cast<double>(*p.rtt));
        d.probes.push_back(p);
    }
    return d;
}

LineSegments line_segments(const std::vector<LineProbe>& probes) {
    LineSegments s;
    constexpr std::size_t kNoRun = static_cast<std::size_t>(-1);
    std::size_t run_start = kNoRun;
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].rtt) {
            if (run_start == kNoRun) run_start = i;
            continue;
        }
        if (run_start != kNoRun) s.runs.emplace_back(run_start, i - 1);
        run_start = kNoRun;
        s.lost.push_back(i);
    }
    if (run_start != kNoRun) s.runs.emplace_back(run_start, probes.size() - 1);
    return s;
}

std::vector<TimeMark> line_time_marks(const LineChartData& d, const Rect& plot) {
    std::vector<TimeMark> marks;
    const std::size_t k = std::max<std::size_t>(static_cast<std::size_t>(std::floor(plot.width() / 140.0f)), 2);
    const std::size_t stride = std::max<std::size_t>(d.capacity / k, 1);
    const std::size_t count = d.probes.size();
    for (std::size_t j = 0;; j += stride) {
        const float x = plot.right - static_cast<float>(j) * d.pitch;
        if (x < plot.left - 0.5f) break;
        TimeMark m;
        m.x = x;
        m.line = j > 0;
        m.newest = j == 0;
        if (j < count && (j == 0 || (x >= plot.left + 24.0f && x <= plot.right - 64.0f))) m.label_probe = count - 1 - j;
        marks.push_back(m);
        if (!(d.pitch > 0.0f)) break;
    }
    return marks;
}

std::optional<std::size_t> line_hover_probe(const LineChartData& d, const Rect& plot, Vec2 pointer) {
    const std::size_t count = d.probes.size();
    if (count == 0 || !plot.contains(pointer) || !(d.pitch > 0.0f)) return std::nullopt;
    // Probes counted back from the newest; the two around the pointer compete.
    const double back = std::max(0.0, static_cast<double>(plot.right - pointer.x) / d.pitch);
    const std::size_t last = count - 1;
    const std::size_t j0 = std::min(static_cast<std::size_t>(std::floor(back)), last);
    const std::size_t j1 = std::min(j0 + 1, last);
    auto dist = [&](std::size_t j) { return std::fabs(d.probes[last - j].x - pointer.x); };
    const std::size_t j = dist(j1) <= dist(j0) ? j1 : j0;  // the older one on a tie
    if (dist(j) >= std::max(d.pitch, 10.0f)) return std::nullopt;
    return last - j;
}

// ---- Bar chart ----

ChartClock bar_chart_clock(UiMemory& memory, unsigned int id, bool hovered, std::int64_t now) {
    if (!hovered) {
        memory.erase(id);
        return {now, false};
    }
    constexpr std::int64_t kUnset = std::numeric_limits<std::int64_t>::min();
    std::int64_t t = memory.get<std::int64_t>(id, kUnset);
    if (t == kUnset) {
        t = now;
        memory.set<std::int64_t>(id, t);
    }
    return {t, true};
}

BarChartData bar_chart_data(const HopStats& hop, std::uint64_t window_secs, std::int64_t t) {
    BarChartData d;
    const std::uint64_t w = std::min<std::uint64_t>(window_secs, 1'000'000'000);
    d.window_ms = std::max<std::int64_t>(static_cast<std::int64_t>(w) * 1000, 1);
    const AlignedRings a = align_rings(hop);
    const std::int64_t first = a.count > 0 ? hop.sample_times[a.time_offset] : t;
    d.full = t - first >= d.window_ms;
    d.start = d.full ? t - d.window_ms : first;
    d.end = d.full ? t : first + d.window_ms;
    d.bin_ms = std::max<std::int64_t>(d.window_ms / static_cast<std::int64_t>(kBarBins), 1);

    for (std::size_t k = 0; k < a.count; ++k) {
        const std::int64_t time = hop.sample_times[a.time_offset + k];
        if (time < d.start || time >= d.end) continue;
        const auto bin = std::min<std::int64_t>((time - d.start) / d.bin_ms, kBarBins - 1);
        BarBin& b = d.bins[static_cast<std::size_t>(bin)];
        if (const std::optional<float> rtt = chart_rtt(hop.samples[a.sample_offset + k])) {
            b.sum += *rtt;
            ++b.replies;
        } else {
            ++b.lost;
        }
    }
    for (std::size_t i = 0; i < kBarBins; ++i) {
        if (const std::optional<double> v = d.bins[i].value()) d.largest = std::max(d.largest, *v);
        if (d.bins[i].any()) d.newest = i;
    }
    d.average = hop.received > 0 ? static_cast<double>(hop.rtt_sum) / hop.received : 0.0;
    return d;
}

bool is_spike(double value, double average) { return value > 1.5 * average && value - average > 6.0; }

Color32 bar_color(std::size_t bin, std::optional<std::size_t> newest, bool spike) {
    if (spike) return palette::warn_amber;
    if (!newest || bin >= *newest) return palette::accent;
    const std::size_t d = *newest - bin;
    if (d >= 10) return kOldBar;
    return lerp_color(palette::accent_dark, kOldBar, static_cast<float>(d) / 10.0f);
}

std::pair<float, float> bar_x_range(const Rect& plot, std::size_t bin) {
    const float slot = plot.width() / static_cast<float>(kBarBins);
    return {plot.left + static_cast<float>(bin) * slot + 1.5f, plot.left + static_cast<float>(bin + 1) * slot - 1.5f};
}

std::size_t bar_hover_bin(const Rect& plot, float x) {
    const float slot = plot.width() / static_cast<float>(kBarBins);
    if (!(slot > 0.0f)) return 0;
    const float f = std::floor((x - plot.left) / slot);
    return static_cast<std::size_t>(std::clamp(f, 0.0f, static_cast<float>(kBarBins - 1)));
}

float bar_now_label_x(const Rect& plot, const BarChartData& d, std::int64_t t) {
    const double share = std::clamp(static_cast<double>(t - d.start) / static_cast<double>(d.window_ms), 0.0, 1.0);
    return std::max(plot.left + plot.width() * static_cast<float>(share), plot.left + 150.0f);
}

std::optional<TooltipValue> bar_tooltip_value(const BarBin& bin, double average) {
    char buf[96];
    const std::optional<double> v = bin.value();
    if (v && bin.lost > 0) {
        std::snprintf(buf, sizeof buf, "%.0f ms, %u lost", finite_or_zero(*v), bin.lost);
        return TooltipValue{buf, palette::bad_red};
    }
    if (v && is_spike(*v, average)) {
        std::snprintf(buf, sizeof buf, "%.0f ms, spike (avg %.0f)", finite_or_zero(*v), finite_or_zero(average));
        return TooltipValue{buf, palette::warn_amber};
    }
    if (v) return TooltipValue{format_ms0(*v), palette::accent_bright};
    if (bin.lost > 0) {
        std::snprintf(buf, sizeof buf, "all %u lost", bin.lost);
        return TooltipValue{buf, palette::bad_red};
    }
    return std::nullopt;
}

}  // namespace corvane
