#include "ui/views/chart_math.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui/palette.h"
#include "ui/ui_memory.h"
#include "ui/views/chart_header.h"
#include "ui/views/chart_window.h"

namespace corvane {
namespace {

constexpr Rect kPlot{100, 50, 700, 250};  // 600 wide, 200 high
constexpr std::optional<std::uint32_t> kLost = std::nullopt;

HopStats hop_of(std::initializer_list<std::optional<std::uint32_t>> rtts, std::int64_t t0 = 1'000'000,
                std::int64_t step = 1000) {
    HopStats h;
    std::int64_t t = t0;
    for (auto r : rtts) {
        hop_stats_record(h, r, t);
        t += step;
    }
    return h;
}

// ---- Grid ----

TEST(ChartGrid, StepsAndAxisTops) {
    struct Case {
        double largest;
        int room;  // lines the plot can show
        double step, top;
    } cases[] = {
        {20, 9, 10, 30},          // 22 / 5 = 4.4 is over 4
        {95, 9, 50, 150},         // 104.5 / 25 = 4.18 is over 4
        {5000, 9, 2000, 6000},    // 5500 / 2000 = 2.75
        {7272, 9, 2000, 8000},    // the last usual step still fits up to a target of 8000
        {7300, 9, 2000, 10000},   // none fits: 2000, and 6 lines are shown
        {14000, 9, 2000, 16000},  // 9 lines: still room
        {14600, 9, 5000, 20000},  // 10 lines would be too many
        {14600, 20, 2000, 18000},
        {18.18, 9, 5, 20},        // 19.998 / 5 just fits
        {1e6, 20, 100000, 1.1e6},
    };
    for (const Case& c : cases) {
        const ChartGrid g = chart_grid(c.largest, c.room);
        EXPECT_DOUBLE_EQ(g.step, c.step) << c.largest << " in " << c.room;
        EXPECT_DOUBLE_EQ(g.top, c.top) << c.largest << " in " << c.room;
    }
    // The room: one line per label height, and the line at 0.
    EXPECT_EQ(chart_grid_room(118, 14), 9);
    EXPECT_EQ(chart_grid_room(0, 14), 2);
    EXPECT_EQ(chart_grid_room(std::nanf(""), 14), 2);
}

TEST(ChartGrid, AWildRoundTripStillGivesAFewLines) {
    // A recording may hold any 32-bit round trip; past 2000 the ladder goes on.
    for (double largest : {9000.0, 4294967295.0, 3.0e12}) {
        const auto values = chart_grid_values(chart_grid(largest, 6));
        EXPECT_GE(values.size(), 2u) << largest;
        EXPECT_LE(values.size(), 6u) << largest;
    }
    // Nothing finite to go by reads as no value at all.
    const ChartGrid nan = chart_grid(std::nan(""), 6);
    EXPECT_TRUE(std::isfinite(nan.top));
    EXPECT_LE(chart_grid_values(nan).size(), 2u);
}

TEST(ChartGrid, LinesLabelsAndScale) {
    const auto values = chart_grid_values(chart_grid(20, 9));
    ASSERT_EQ(values, (std::vector<double>{0, 10, 20, 30}));
    EXPECT_EQ(chart_grid_label(0), "0 ms");
    EXPECT_EQ(chart_grid_label(10), "10");
    EXPECT_EQ(chart_grid_label(2000), "2000");
    EXPECT_FLOAT_EQ(chart_y(kPlot, 0, 30), 250);
    EXPECT_FLOAT_EQ(chart_y(kPlot, 30, 30), 50);
    EXPECT_FLOAT_EQ(chart_y(kPlot, 15, 30), 150);
}

TEST(ChartArea, HeightAndPlotInsets) {
    EXPECT_FLOAT_EQ(chart_area_height(300), 298);
    EXPECT_FLOAT_EQ(chart_area_height(40), 100);
    const Rect area{0, 0, 500, 200};
    EXPECT_EQ(chart_plot_rect(area, ChartKind::Line), (Rect{48, 8, 496, 176}));
    EXPECT_EQ(chart_plot_rect(area, ChartKind::Bar), (Rect{44, 8, 496, 176}));
    EXPECT_FALSE(chart_plot_rect({0, 0, 111, 200}, ChartKind::Line));  // 59 wide
    EXPECT_TRUE(chart_plot_rect({0, 0, 112, 200}, ChartKind::Line));
    EXPECT_FALSE(chart_plot_rect({0, 0, 500, 61}, ChartKind::Bar));   // 29 high
}

TEST(ChartText, WholeMillisecondsRoundHalfToEven) {
    EXPECT_EQ(format_ms0(12.4), "12 ms");
    EXPECT_EQ(format_ms0(12.6), "13 ms");
    EXPECT_EQ(format_ms0(2.5), "2 ms");
    EXPECT_EQ(format_ms0(INFINITY), "0 ms");
}

// ---- Line chart ----

TEST(LineChart, PointsPerWindow) {
    struct Case {
        std::uint64_t window, probe_ms;
        std::size_t n;
    } cases[] = {
        {600, 1000, 600}, {3600, 500, 3600}, {60, 60000, 2}, {300, 0, 3600},
        {300, 1, 3600},   {300, 2500, 120},  {0, 1000, 2},   {~0ull, 1000, 3600},
    };
    for (const Case& c : cases) EXPECT_EQ(line_chart_capacity(c.window, c.probe_ms), c.n) << c.window << "/" << c.probe_ms;
}

TEST(LineChart, NewestProbesFromTheRightEdge) {
    // Capacity 2: only the newest two show, the pitch is the whole width, and
    // an older large value does not raise the scale.
    HopStats h = hop_of({500, 30, kLost});
    LineChartData d = line_chart_data(h, 2, kPlot);
    ASSERT_EQ(d.probes.size(), 2u);
    EXPECT_FLOAT_EQ(d.pitch, 600);
    EXPECT_FLOAT_EQ(d.probes[0].x, 100);
    EXPECT_FLOAT_EQ(d.probes[1].x, 700);
    EXPECT_EQ(d.probes[0].rtt, 30.0f);
    EXPECT_FALSE(d.probes[1].rtt);
    EXPECT_EQ(d.probes[1].time_ms, 1'002'000);
    EXPECT_DOUBLE_EQ(d.largest, 30);

    // Fewer probes than capacity: they cover only the right-hand part.
    d = line_chart_data(hop_of({5, 7}), 601, kPlot);
    EXPECT_FLOAT_EQ(d.pitch, 1);
    EXPECT_FLOAT_EQ(d.probes[0].x, 699);
    EXPECT_DOUBLE_EQ(d.largest, 20);

    // Nothing recorded, or everything lost: no line and the floor scale.
    EXPECT_TRUE(line_chart_data(HopStats{}, 600, kPlot).probes.empty());
    d = line_chart_data(hop_of({kLost, kLost, kLost}), 600, kPlot);
    EXPECT_EQ(d.probes.size(), 3u);
    EXPECT_DOUBLE_EQ(d.largest, 20);
    EXPECT_TRUE(line_segments(d.probes).runs.empty());
    EXPECT_EQ(line_segments(d.probes).lost.size(), 3u);
}

TEST(LineChart, RingsOfUnequalLengthPairAtTheNewestEnd) {
    HopStats h;
    h.samples.push_back(1);
    h.samples.push_back(2);
    h.samples.push_back(3);
    h.sample_times.push_back(200);
    h.sample_times.push_back(300);
    const LineChartData d = line_chart_data(h, 10, kPlot);
    ASSERT_EQ(d.probes.size(), 2u);
    EXPECT_EQ(d.probes[0].rtt, 2.0f);
    EXPECT_EQ(d.probes[0].time_ms, 200);
    EXPECT_EQ(d.probes[1].rtt, 3.0f);
    EXPECT_EQ(d.probes[1].time_ms, 300);
}

TEST(LineChart, SegmentsBreakAtLosses) {
    const HopStats h = hop_of({10, kLost, 12, kLost, 14, 15, 16});
    const LineSegments s = line_segments(line_chart_data(h, 600, kPlot).probes);
    // The reply between two losses is a run of one: a dot with ticks either side.
    const std::vector<std::pair<std::size_t, std::size_t>> runs{{0, 0}, {2, 2}, {4, 6}};
    EXPECT_EQ(s.runs, runs);
    EXPECT_EQ(s.lost, (std::vector<std::size_t>{1, 3}));
}

TEST(LineChart, TimeMarks) {
    // 600 wide: 4 marks per width; 600 probes: a mark every 150.
    std::vector<std::optional<std::uint32_t>> many(600, 10u);
    HopStats full;
    for (std::size_t i = 0; i < many.size(); ++i) hop_stats_record(full, many[i], std::int64_t(i) * 1000);
    LineChartData d = line_chart_data(full, 600, kPlot);
    auto marks = line_time_marks(d, kPlot);
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_TRUE(marks[0].newest);
    EXPECT_FALSE(marks[0].line);
    EXPECT_EQ(marks[0].label_probe, 599u);
    EXPECT_TRUE(marks[1].line);
    EXPECT_EQ(marks[1].label_probe, 449u);
    EXPECT_EQ(marks[3].label_probe, 149u);
    EXPECT_NEAR(marks[3].x, 700 - 450 * 600.0 / 599, 1e-3);

    // Only 100 probes so far: lines still run across, but only the newest is labelled.
    HopStats few;
    for (int i = 0; i < 100; ++i) hop_stats_record(few, 10u, i * 1000);
    marks = line_time_marks(line_chart_data(few, 600, kPlot), kPlot);
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[0].label_probe, 99u);
    for (std::size_t i = 1; i < marks.size(); ++i) EXPECT_FALSE(marks[i].label_probe);

    // Labels too near either end are skipped: capacity 2 puts the only other
    // mark on the left edge.
    marks = line_time_marks(line_chart_data(hop_of({1, 2}), 2, kPlot), kPlot);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_FLOAT_EQ(marks[1].x, 100);
    EXPECT_FALSE(marks[1].label_probe);
}

TEST(LineChart, HoverPicksTheNearestProbe) {
    const LineChartData d = line_chart_data(hop_of({10, 20, 30}), 3, kPlot);  // x = 100, 400, 700
    auto at = [&](float x) { return line_hover_probe(d, kPlot, {x, 100}); };
    EXPECT_EQ(at(699), 2u);
    EXPECT_EQ(at(560), 2u);
    EXPECT_EQ(at(550), 1u);  // halfway: the older one
    EXPECT_EQ(at(100), 0u);
    EXPECT_FALSE(at(99));    // outside the plot
    EXPECT_FALSE(line_hover_probe(d, kPlot, {400, 260}));
    EXPECT_FALSE(line_hover_probe(line_chart_data(HopStats{}, 3, kPlot), kPlot, {400, 100}));

    // A dense chart with a short history: far from the newest probes is no pick.
    const LineChartData dense = line_chart_data(hop_of({1, 2, 3}), 3600, kPlot);
    EXPECT_EQ(line_hover_probe(dense, kPlot, {695, 100}), 0u);  // the oldest is nearest
    EXPECT_FALSE(line_hover_probe(dense, kPlot, {680, 100}));
}

// ---- Bar chart ----

TEST(BarChart, EmptyHistoryStartsAtNow) {
    const BarChartData d = bar_chart_data(HopStats{}, 600, 5'000'000);
    EXPECT_EQ(d.start, 5'000'000);
    EXPECT_EQ(d.end, 5'600'000);
    EXPECT_EQ(d.bin_ms, 10'000);
    EXPECT_FALSE(d.full);
    EXPECT_FALSE(d.newest);
    EXPECT_DOUBLE_EQ(d.largest, 20);
    for (const BarBin& b : d.bins) EXPECT_FALSE(b.any());
}

TEST(BarChart, AShortRecordingFillsFromTheLeft) {
    // 30 s of probes, one a second, in a 10-minute window.
    HopStats h;
    const std::int64_t first = 1'000'000;
    for (int i = 0; i < 30; ++i) hop_stats_record(h, 20u + i, first + i * 1000);
    const std::int64_t t = first + 30'000;
    const BarChartData d = bar_chart_data(h, 600, t);
    EXPECT_FALSE(d.full);  // so no midpoint label
    EXPECT_EQ(d.start, first);
    EXPECT_EQ(d.newest, 2u);
    EXPECT_EQ(d.bins[0].replies, 10u);
    EXPECT_DOUBLE_EQ(*d.bins[0].value(), 24.5);
    EXPECT_FALSE(d.bins[3].any());
    EXPECT_DOUBLE_EQ(d.largest, 44.5);
    // 5 % of the plot would be 30 from the left edge: held at 150.
    EXPECT_FLOAT_EQ(bar_now_label_x(kPlot, d, t), kPlot.left + 150);
}

TEST(BarChart, OnlyTheWindowBeforeTheReferenceTimeCounts) {
    HopStats h;
    const std::int64_t t = 10'000'000, w = 60'000;  // one-minute window, 1 s bins
    hop_stats_record(h, 100u, t - w - 1);  // older than the window
    hop_stats_record(h, 10u, t - w);       // first bin
    hop_stats_record(h, kLost, t - w + 500);
    hop_stats_record(h, 30u, t - 1);       // last bin
    hop_stats_record(h, 900u, t);          // newer than the reference: a frozen chart ignores it
    const BarChartData d = bar_chart_data(h, 60, t);
    EXPECT_TRUE(d.full);
    EXPECT_EQ(d.start, t - w);
    EXPECT_EQ(d.end, t);
    EXPECT_EQ(d.bins[0].replies, 1u);
    EXPECT_EQ(d.bins[0].lost, 1u);
    EXPECT_DOUBLE_EQ(*d.bins[0].value(), 10);
    EXPECT_DOUBLE_EQ(*d.bins[59].value(), 30);
    EXPECT_EQ(d.newest, 59u);
    EXPECT_DOUBLE_EQ(d.largest, 30);
    EXPECT_DOUBLE_EQ(d.average, (100.0 + 10 + 30 + 900) / 4);  // all-time, from the totals
    EXPECT_FLOAT_EQ(bar_now_label_x(kPlot, d, t), kPlot.right);
}

TEST(BarChart, AllLostBinsHaveNoValue) {
    const BarChartData d = bar_chart_data(hop_of({kLost, kLost}, 0, 1000), 60, 60'000);
    EXPECT_EQ(d.bins[0].lost, 1u);
    EXPECT_EQ(d.bins[1].lost, 1u);
    EXPECT_FALSE(d.bins[0].value());
    EXPECT_EQ(d.newest, 1u);
    EXPECT_DOUBLE_EQ(d.largest, 20);
    EXPECT_DOUBLE_EQ(d.average, 0);
}

TEST(BarChart, FreezeHoldsTheFirstHoveredTime) {
    UiMemory mem;
    EXPECT_EQ(bar_chart_clock(mem, 7, false, 1000).t, 1000);
    ChartClock c = bar_chart_clock(mem, 7, true, 2000);
    EXPECT_TRUE(c.frozen);
    EXPECT_EQ(c.t, 2000);
    c = bar_chart_clock(mem, 7, true, 9000);
    EXPECT_TRUE(c.frozen);
    EXPECT_EQ(c.t, 2000);
    c = bar_chart_clock(mem, 7, false, 9500);
    EXPECT_FALSE(c.frozen);
    EXPECT_EQ(c.t, 9500);
    EXPECT_EQ(mem.get<std::int64_t>(7, -1), -1);  // forgotten
    EXPECT_EQ(bar_chart_clock(mem, 7, true, 12000).t, 12000);
}

TEST(BarChart, Spikes) {
    struct Case {
        double v, avg;
        bool spike;
    } cases[] = {{16, 10, false}, {17, 10, true}, {15.5, 10, false}, {7, 0, true}, {6, 0, false}, {200, 150, false}};
    for (const Case& c : cases) EXPECT_EQ(is_spike(c.v, c.avg), c.spike) << c.v << " vs " << c.avg;
}

TEST(BarChart, BarColours) {
    EXPECT_EQ(bar_color(59, 59, false), palette::accent);
    EXPECT_EQ(bar_color(59, 59, true), palette::warn_amber);  // a spike stays amber when newest
    EXPECT_EQ(bar_color(30, 59, true), palette::warn_amber);
    EXPECT_EQ(bar_color(58, 59, false), rgb(145, 48, 5));
    EXPECT_EQ(bar_color(54, 59, false), rgb(101, 47, 23));
    EXPECT_EQ(bar_color(50, 59, false), rgb(57, 46, 41));
    EXPECT_EQ(bar_color(49, 59, false), rgb(46, 46, 46));
    EXPECT_EQ(bar_color(0, 59, false), rgb(46, 46, 46));
}

TEST(BarChart, BinGeometryAndHover) {
    auto [l0, r0] = bar_x_range(kPlot, 0);
    EXPECT_FLOAT_EQ(l0, 101.5);
    EXPECT_FLOAT_EQ(r0, 108.5);
    auto [l59, r59] = bar_x_range(kPlot, 59);
    EXPECT_FLOAT_EQ(l59, 691.5);
    EXPECT_FLOAT_EQ(r59, 698.5);
    EXPECT_EQ(bar_hover_bin(kPlot, 100), 0u);
    EXPECT_EQ(bar_hover_bin(kPlot, 109.9f), 0u);
    EXPECT_EQ(bar_hover_bin(kPlot, 110), 1u);
    EXPECT_EQ(bar_hover_bin(kPlot, 50), 0u);
    EXPECT_EQ(bar_hover_bin(kPlot, 900), 59u);
}

TEST(BarChart, TooltipValues) {
    struct Case {
        BarBin bin;
        double avg;
        std::optional<std::string> text;
        Color32 color;
    } cases[] = {
        {{40, 2, 1}, 10, "20 ms, 1 lost", palette::bad_red},
        {{40, 2, 0}, 10, "20 ms, spike (avg 10)", palette::warn_amber},
        {{40, 2, 0}, 18, "20 ms", palette::accent_bright},
        {{0, 0, 3}, 18, "all 3 lost", palette::bad_red},
        {{}, 18, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        const auto v = bar_tooltip_value(c.bin, c.avg);
        ASSERT_EQ(v.has_value(), c.text.has_value());
        if (!v) continue;
        EXPECT_EQ(v->text, *c.text);
        EXPECT_EQ(v->color, c.color) << *c.text;
    }
}

// ---- Header texts and the window selector ----

TEST(ChartHeader, Titles) {
    std::vector<HopStats> hops(3);
    hops[0].label = "Gateway";
    hops[0].host = "10.0.0.1";
    hops[1].host = "example";
    EXPECT_EQ(chart_hop_title(hops, 0), "Gateway");
    EXPECT_EQ(chart_hop_title(hops, 1), "example");
    EXPECT_EQ(chart_hop_title(hops, 2), "Hop 3");
    EXPECT_FALSE(chart_hop_title(hops, 3));
    EXPECT_FALSE(chart_hop_title({}, 0));
    EXPECT_EQ(chart_host_title(hops[0]), "Gateway");
    EXPECT_EQ(chart_host_title(hops[2]), "");
}

TEST(WindowSelector, TextsAndMinutes) {
    struct Case {
        std::uint64_t secs;
        std::string_view text;
        bool custom;
        int minutes;
    } cases[] = {
        {60, "1 min", false, 1},   {300, "5 min", false, 5},     {600, "10 min", false, 10},
        {1800, "30 min", false, 30}, {3600, "1 hour", false, 60}, {120, "Custom", true, 2},
        {90, "Custom", true, 1},   {3540, "Custom", true, 59},   {30, "Custom", true, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(window_selector_text(c.secs), c.text) << c.secs;
        EXPECT_EQ(is_custom_window(c.secs), c.custom) << c.secs;
        EXPECT_EQ(custom_window_minutes(c.secs), c.minutes) << c.secs;
    }
}

TEST(WindowSelector, EditsGiveValidWindows) {
    EXPECT_EQ(window_from_minutes(2), 120u);
    EXPECT_EQ(window_from_minutes(0), 60u);
    EXPECT_EQ(window_from_minutes(-5), 60u);
    EXPECT_EQ(window_from_minutes(61), 3600u);
    EXPECT_EQ(window_after_custom_choice(600), 120u);
    EXPECT_EQ(window_after_custom_choice(120), 120u);
    EXPECT_EQ(window_after_custom_choice(90), 90u);
    EXPECT_EQ(window_after_custom_choice(3600), 120u);
}

}  // namespace
}  // namespace corvane
