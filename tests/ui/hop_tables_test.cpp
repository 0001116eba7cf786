#include "ui/views/hop_tables.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cmath>
#include <numeric>
#include <set>

#include "headless_imgui.h"
#include "ui/palette.h"
#include "ui/views/hop_table_cells.h"
#include "ui/views/hop_table_compact.h"
#include "ui/views/hop_table_layout.h"
#include "ui/views/hop_table_strip.h"

namespace corvane {
namespace {

constexpr const char* kDot = "\u00b7";

HopStats hop_with(std::initializer_list<std::optional<std::uint32_t>> rtts, std::int64_t t0 = 0,
                  std::optional<Ipv4Addr> addr = Ipv4Addr(10, 0, 0, 1)) {
    HopStats h;
    h.addr = addr;
    std::int64_t t = t0;
    for (const auto& r : rtts) hop_stats_record(h, r, t += 1000);
    return h;
}

HopStats counts(std::uint32_t sent, std::uint32_t received) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    h.rtt_sum = 10ull * received;
    return h;
}

// --- Layout -------------------------------------------------------------------

TEST(HopTableColumns, WideWidthsFillTheTableUnlessTheStripIsAtItsMinimum) {
    struct Case {
        float w, router, strip;
    };
    for (const Case c : {Case{1352, 324.48f, 487.52f}, Case{800, 230, 180}, Case{2000, 360, 1100}, Case{958.34f, 230, 188.34f}}) {
        const auto w = hop_table_column_widths(c.w);
        EXPECT_NEAR(w[kWideRouter], c.router, 0.01) << c.w;
        EXPECT_NEAR(w[kWideStrip], c.strip, 0.01) << c.w;
        EXPECT_EQ(w[kWideHop], 56);
        EXPECT_EQ(w[kWideWorst], 62);
        EXPECT_EQ(w[kWideGap], 24);
        if (c.strip > 180) {
            EXPECT_NEAR(std::accumulate(w.begin(), w.end(), 0.0f), c.w, 0.01) << c.w;
        }
    }
}

TEST(HopTableColumns, CompactTableFitsItsCardDownToTheNarrowestWindow) {
    struct Case {
        float w, router, range;
    };
    // 960: a 1400 window; 800: the narrowest window, where 36 % would push
    // the table 48 points past its card.
    for (const Case c : {Case{960, 254.4f, 345.6f}, Case{800, 200, 240}, Case{1500, 600, 540}, Case{875, 200, 315}}) {
        const auto w = compact_hop_table_column_widths(c.w);
        EXPECT_NEAR(w[kCompactRouter], c.router, 0.01) << c.w;
        EXPECT_NEAR(w[kCompactRange], c.range, 0.01) << c.w;
        EXPECT_NEAR(std::accumulate(w.begin(), w.end(), 0.0f), c.w, 0.01) << c.w;
    }
    EXPECT_EQ(compact_hop_table_column_widths(500)[kCompactRange], 200);
}

TEST(HopTableColumns, StripCellsEndExactlyAtTheColumnsRightEdge) {
    for (float width : {180.0f, 487.52f, 1100.0f}) {
        EXPECT_NEAR(strip_cell_rect(100, width, 59, 50).right, 100 + width, 0.001) << width;
        const Rect first = strip_cell_rect(100, width, 0, 50);
        EXPECT_EQ(first.left, 100);
        EXPECT_EQ(first.top, 39);
        EXPECT_EQ(first.bottom, 61);
    }
    EXPECT_NEAR(strip_cell_width(180), 62.0 / 60.0, 1e-5);
    EXPECT_EQ(strip_cell_width(100), 1.0f);  // never thinner than a point
}

TEST(RangeScale, PicksTheFirstStepHoldingTheSlowestHop) {
    struct Case {
        std::uint32_t worst;
        double scale;
    };
    for (const Case c : {Case{0, 40}, Case{40, 40}, Case{41, 60}, Case{101, 150}, Case{5000, 5000}, Case{5001, 5000},
                         Case{4000000000u, 5000}}) {
        std::vector<HopStats> hops{hop_with({5}), hop_with({c.worst})};
        EXPECT_EQ(range_scale_ms(hops), c.scale) << c.worst;
    }
    // A hop without replies has no figures to scale to.
    std::vector<HopStats> hops{hop_with({20}), hop_with({std::nullopt})};
    hops[1].worst = 900;
    EXPECT_EQ(range_scale_ms(hops), 40);
}

TEST(RangeBar, SpansBestToWorstAndStopsAtTheColumnsEdge) {
    const RangeBar even = range_bar_geometry(100, 200, 50, hop_with({20, 20}), 40);
    ASSERT_TRUE(even.has_bar);
    EXPECT_FLOAT_EQ(even.bar.left, 200);
    EXPECT_FLOAT_EQ(even.bar.width(), 3);  // best = worst still shows
    EXPECT_FLOAT_EQ(even.tick.left, 199);
    EXPECT_FLOAT_EQ(even.tick.height(), 14);
    EXPECT_FLOAT_EQ(even.track.height(), 6);

    const RangeBar slow = range_bar_geometry(100, 200, 50, hop_with({10, 9000}), 5000);
    EXPECT_FLOAT_EQ(slow.bar.right, 300);
    EXPECT_FLOAT_EQ(slow.tick.left, 279.2f);  // avg 4505 of 5000: 180.2 in, minus 1

    const RangeBar silent = range_bar_geometry(100, 200, 50, hop_with({std::nullopt}), 40);
    EXPECT_FALSE(silent.has_bar);
    EXPECT_FLOAT_EQ(silent.track.right, 300);
}

TEST(RangeScale, TickLabels) {
    const auto l = range_tick_labels(60);
    EXPECT_EQ(l[0], "0");
    EXPECT_EQ(l[1], "15");
    EXPECT_EQ(l[2], "30");
    EXPECT_EQ(l[3], "45");
    EXPECT_EQ(l[4], "60 ms");
    EXPECT_EQ(range_tick_labels(150)[1], "38");  // 37.5: ties to even
}

// --- Cells ----------------------------------------------------------------------

TEST(HopCells, LossTextAndColour) {
    struct Case {
        std::uint32_t sent, received;
        HopClass cls;
        const char* text;
        Color32 color;
    };
    const Case cases[] = {
        {100, 98, HopClass::None, "2.0%", hop_colors::bad},
        {1000, 981, HopClass::None, "1.9%", hop_colors::warn},
        {10, 10, HopClass::None, "0.0%", hop_colors::dim},
        {10, 5, HopClass::RateLimited, "50.0%", hop_colors::muted},
        {10, 10, HopClass::SlowToAnswer, "0.0%", hop_colors::muted},
        {10, 0, HopClass::None, kDot, hop_colors::dim},
        {0, 0, HopClass::None, kDot, hop_colors::dim},
        {10, 12, HopClass::None, "-20.0%", hop_colors::dim},  // never wraps into a huge loss
    };
    for (const Case& c : cases) {
        const CellText t = loss_cell(counts(c.sent, c.received), c.cls);
        EXPECT_EQ(t.text, c.text) << c.sent << "/" << c.received;
        EXPECT_EQ(t.color, c.color) << c.sent << "/" << c.received;
        EXPECT_EQ(t.font.family, FontFamily::Monospace);
    }
}

TEST(HopCells, RoundTripThresholds) {
    const HopStats answered = counts(1, 1);
    struct Case {
        double ms;
        const char* text;
        Color32 color;
    };
    for (const Case c : {Case{0, "0", hop_colors::value}, Case{100, "100", hop_colors::value},
                         Case{100.5, "100", hop_colors::warn}, Case{250, "250", hop_colors::warn},
                         Case{251, "251", hop_colors::bad}, Case{12.5, "12", hop_colors::value}}) {
        const CellText t = round_trip_cell(c.ms, answered);
        EXPECT_EQ(t.text, c.text) << c.ms;
        EXPECT_EQ(t.color, c.color) << c.ms;
    }
    const CellText none = round_trip_cell(300, counts(5, 0));
    EXPECT_EQ(none.text, kDot);
    EXPECT_EQ(none.color, hop_colors::dim);

    HopStats h = counts(3, 2);
    h.jitter = 2.25;
    EXPECT_EQ(jitter_cell(h).text, "2.2");
    EXPECT_EQ(jitter_cell(h).color, hop_colors::jitter);
    h.jitter = std::nan("");
    EXPECT_EQ(jitter_cell(h).text, "0.0");
    EXPECT_EQ(jitter_cell(counts(3, 0)).text, kDot);
    EXPECT_DOUBLE_EQ(hop_average_ms(counts(4, 0)), 0.0);
}

TEST(HopCells, AddedLatencyColourAndFont) {
    HopVerdicts v;
    v.classes = {HopClass::None, HopClass::None, HopClass::SlowToAnswer, HopClass::None, HopClass::None};
    v.added_latency = {0.49, 12.6, 30.0, std::nullopt, 14.0};
    v.most_added = 4;
    struct Case {
        std::size_t i;
        const char* text;
        Color32 color;
        FontFamily family;
    };
    const Case cases[] = {
        {0, "0 ms", hop_colors::dim, FontFamily::Monospace},
        {1, "+13 ms", hop_colors::added, FontFamily::Monospace},
        {2, "+30 ms", hop_colors::muted, FontFamily::Monospace},
        {3, kDot, hop_colors::dim, FontFamily::Monospace},
        {4, "+14 ms", hop_colors::accent, FontFamily::MonoMedium},
        {7, kDot, hop_colors::dim, FontFamily::Monospace},  // verdicts shorter than the hop list
    };
    for (const Case& c : cases) {
        const CellText t = added_latency_cell(v, c.i);
        EXPECT_EQ(t.text, c.text) << c.i;
        EXPECT_EQ(t.color, c.color) << c.i;
        EXPECT_EQ(t.font.family, c.family) << c.i;
        EXPECT_EQ(t.font.size, 12.5f);
    }
    // A classified hop stays muted even when it is the biggest jump.
    v.most_added = 2;
    EXPECT_EQ(added_latency_cell(v, 2).color, hop_colors::muted);
    EXPECT_EQ(hop_class_at(v, 9), HopClass::None);
}

TEST(HopCells, RouterTextsAndNotes) {
    HopStats silent = hop_with({std::nullopt, std::nullopt});
    EXPECT_EQ(router_first_text(silent, HopClass::None), "10.0.0.1");
    EXPECT_EQ(router_first_text(silent, HopClass::NoIcmpReply), "No response");
    EXPECT_EQ(router_first_text(hop_with({4}), HopClass::NoIcmpReply), "10.0.0.1");
    EXPECT_EQ(router_first_text(hop_with({4}, 0, std::nullopt), HopClass::None), "No response");

    HopStats named = hop_with({4});
    EXPECT_FALSE(router_name(named));
    named.name = "";
    EXPECT_FALSE(router_name(named));
    named.name = "gw.example";
    EXPECT_EQ(router_name(named), "gw.example");

    EXPECT_EQ(hop_class_note(HopClass::RateLimited, false), "Rate limited, later hops are clean");
    EXPECT_EQ(hop_class_note(HopClass::NoIcmpReply, false), "Router does not answer ICMP, traffic passes through");
    EXPECT_EQ(hop_class_note(HopClass::SlowToAnswer, false), "Slow to answer probes, traffic is not delayed");
    EXPECT_EQ(hop_class_note(HopClass::RateLimited, true), "rate limited, later hops clean");
    EXPECT_EQ(hop_class_note(HopClass::NoIcmpReply, true), "does not answer ICMP, traffic passes");
    EXPECT_EQ(hop_class_note(HopClass::SlowToAnswer, true), "slow to answer, traffic not delayed");
    EXPECT_EQ(hop_class_note(HopClass::None, true), "");
}

TEST(HopCells, NodeStyle) {
    // The target is orange even when it never answered; other silent hops are dashed.
    EXPECT_EQ(hop_node_style(2, 3, 0).fill, rgb(228, 71, 10));
    EXPECT_FALSE(hop_node_style(2, 3, 0).dashed);
    EXPECT_EQ(hop_node_style(0, 3, 5).outline, rgb(51, 51, 51));
    const HopNodeStyle silent = hop_node_style(1, 3, 0);
    EXPECT_TRUE(silent.dashed);
    EXPECT_FALSE(silent.outline);
    EXPECT_EQ(silent.number_font.family, FontFamily::Monospace);
}

// --- Strip colours ----------------------------------------------------------------

constexpr std::int64_t kNow = 1'700'000'005'000;  // 5 s into a ten-second period
constexpr std::int64_t kStart = 1'700'000'000'000 - 590'000;

HopStats timed(std::initializer_list<std::pair<std::int64_t, std::optional<std::uint32_t>>> probes) {
    HopStats h;
    for (const auto& [t, r] : probes) hop_stats_record(h, r, t);
    return h;
}

TEST(StripColors, PeriodsAndCells) {
    EXPECT_EQ(strip_start_ms(kNow), kStart);
    EXPECT_EQ(strip_start_ms(-1), -10'000 - 590'000);  // floor, not truncation
    EXPECT_EQ(strip_start_ms(std::numeric_limits<std::int64_t>::min()), std::numeric_limits<std::int64_t>::min());

    // Replies of 10 ms everywhere but cell 0 (at start) and cell 59 (now).
    HopStats h = timed({{kStart - 1, 500}, {kStart, 10}, {kStart + 20'000, 10}, {kNow, 10}, {kNow + 60'000, 10}});
    StripColors c;
    compute_strip_cell_colors(c, h, HopClass::None, false, kNow);
    EXPECT_NE(c[0], kStripEmpty);
    EXPECT_NE(c[2], kStripEmpty);
    EXPECT_EQ(c[1], kStripEmpty);
    EXPECT_NE(c[59], kStripEmpty);  // a future time is capped into the current cell
    // The 500 ms probe before the window is skipped, so no cell is a spike.
    for (const Color32 col : c) EXPECT_NE(col, rgb(245, 197, 66));
}

TEST(StripColors, LossSpikeAndLevels) {
    struct Case {
        const char* what;
        HopStats hop;
        HopClass cls;
        bool selected;
        Color32 cell;  // colour of the last cell
    };
    // Average 10 over many replies; best 10, worst 20 unless noted.
    auto base = [](std::initializer_list<std::optional<std::uint32_t>> last_cell, std::uint32_t extra_worst = 20) {
        HopStats h;
        for (int i = 0; i < 50; ++i) hop_stats_record(h, 10, kStart + 100'000);
        hop_stats_record(h, extra_worst, kStart + 100'000);
        for (const auto& r : last_cell) hop_stats_record(h, r, kNow);
        return h;
    };
    const Case cases[] = {
        {"one loss among fast replies", base({10, std::nullopt, 10}), HopClass::None, false, rgb(255, 59, 59)},
        {"loss of a classified hop", base({std::nullopt}), HopClass::RateLimited, false, rgb(74, 84, 104)},
        {"spike", base({17}), HopClass::None, false, rgb(245, 197, 66)},
        {"fastest, grey", base({10}), HopClass::None, false, rgb(36, 36, 36)},
        {"fastest, charted", base({10}), HopClass::None, true, rgb(70, 26, 8)},
        {"slowest, charted", base({15}, 15), HopClass::None, true, rgb(255, 90, 12)},
        {"halfway, grey", base({15}), HopClass::None, false, rgb(62, 62, 62)},
    };
    for (const Case& c : cases) {
        StripColors out;
        compute_strip_cell_colors(out, c.hop, c.cls, c.selected, kNow);
        EXPECT_EQ(out[59], c.cell) << c.what;
    }
    // Average 8, a cell whose largest is 13: 1.6 times but 5 above: no spike.
    HopStats h;
    for (int i = 0; i < 5; ++i) hop_stats_record(h, 7, kStart);
    hop_stats_record(h, 13, kNow);
    ASSERT_NEAR(static_cast<double>(h.rtt_sum) / h.received, 8.0, 0.01);
    StripColors out;
    compute_strip_cell_colors(out, h, HopClass::None, false, kNow);
    EXPECT_EQ(out[59], rgb(88, 88, 88));  // the top of the grey ramp
    compute_strip_cell_colors(out, h, HopClass::None, true, kNow);
    EXPECT_EQ(out[59], rgb(255, 90, 12));
}

TEST(StripColors, HopThatNeverAnsweredIsEmpty) {
    HopStats h = timed({{kNow, std::nullopt}, {kNow - 20'000, std::nullopt}});
    StripColors c;
    compute_strip_cell_colors(c, h, HopClass::None, true, kNow);
    for (const Color32 col : c) EXPECT_EQ(col, kStripEmpty);
}

// --- Drawn tables ---------------------------------------------------------------

std::set<ImU32> vertex_colours(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

float top_of_colour(const ImDrawData* d, ImU32 col) {
    float top = 1e9f;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == col) top = std::min(top, v.pos.y);
    return top;
}

// Vertices of colour `col` between x0 and x1.
int vertices_between(const ImDrawData* d, ImU32 col, float x0, float x1) {
    int n = 0;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == col && v.pos.x >= x0 && v.pos.x <= x1) ++n;
    return n;
}

struct TableFixture {
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel panel;
    ViewServices services;

    TableFixture(LayoutMode layout, Rect content) {
        app.trace_tabs.push_back(new_trace_tab("10.0.0.9"));
        app.trace_tabs.push_back(new_trace_tab("10.0.0.8"));
        app.active_trace = 1;
        panel.spec.id = layout == LayoutMode::Signal ? PanelId::CompactHopTable : PanelId::WideHopTable;
        panel.content = content;
        panel.rect = content;
        view.now_ms = kNow;
        view.displayed = &view.trace;
    }
    void add_hops(int n) {
        for (int i = 0; i < n; ++i) {
            HopStats h = i == 1 ? timed({{kNow, std::nullopt}}) : timed({{kNow - 1000, 10u + i}, {kNow, 12u + i}});
            h.addr = Ipv4Addr(10, 0, 0, static_cast<std::uint8_t>(i + 1));
            view.trace.hops.push_back(std::move(h));
        }
        view.verdicts = compute_hop_verdicts(view.trace.hops);
        view.selected_hop = view.trace.hops.size() - 1;
    }
    const ImDrawData* frame(ImVec2 mouse = {0, 0}, bool down = false) {
        return test::run_frame(mouse, down, [&] {
            ViewContext ctx{app, view, actions, panel, services};
            if (panel.spec.id == PanelId::CompactHopTable)
                draw_compact_hop_table(ctx);
            else
                draw_wide_hop_table(ctx);
        });
    }
    void click(ImVec2 at) {
        frame(at, false);
        frame(at, true);
        frame(at, false);
    }
};

TEST(HopTablesDrawn, EmptyTableShowsOnlyTheStatus24UnderTheHeader) {
    for (LayoutMode layout : {LayoutMode::Instrument, LayoutMode::Signal}) {
        TableFixture f(layout, {24, 100, 1376, 600});
        f.view.trace.status = "Discovering path";
        const ImDrawData* d = f.frame();
        // Wide: header 34 from 100; compact: card inset 4, header 32.
        const float header_bottom = layout == LayoutMode::Signal ? 136 : 134;
        const float text_top = top_of_colour(d, to_imu32(palette::text_secondary));
        EXPECT_GE(text_top, header_bottom + 24);
        EXPECT_LE(text_top, header_bottom + 24 + 17);
        EXPECT_FALSE(vertex_colours(d).count(to_imu32(palette::row_line)));
        EXPECT_TRUE(test::indices_in_range(d));
    }
}

TEST(HopTablesDrawn, ClickingARowChartsThatHopInTheActiveTab) {
    struct Case {
        LayoutMode layout;
        float header, row;
    };
    for (const Case c : {Case{LayoutMode::Instrument, 34, 40}, Case{LayoutMode::Signal, 36, 35}}) {
        TableFixture f(c.layout, {24, 100, 1376, 700});
        f.add_hops(4);
        f.click(ImVec2(600, 100 + c.header + c.row * 2 + c.row / 2));  // third row
        EXPECT_EQ(f.app.trace_tabs[1].selected_hop, 2u);
        EXPECT_FALSE(f.app.trace_tabs[0].selected_hop);
        f.click(ImVec2(600, 100 + c.header + c.row * 4 + 10));  // below the last row
        EXPECT_EQ(f.app.trace_tabs[1].selected_hop, 2u);
    }
}

TEST(HopTablesDrawn, ChartedHopIsMarkedInBothLayouts) {
    TableFixture wide(LayoutMode::Instrument, {24, 100, 1376, 700});
    wide.add_hops(3);
    const ImDrawData* wd = wide.frame();
    auto colours = vertex_colours(wd);
    EXPECT_TRUE(colours.count(IM_COL32(75, 16, 0, 18)));            // selected row tint
    EXPECT_TRUE(colours.count(to_imu32(rgb(228, 71, 10))));           // target node
    // The silent hop's dashed ring, looked for in the Hop column only: the
    // legend's "Normal" square has the same grey.
    EXPECT_GT(vertices_between(wd, to_imu32(palette::border_hover), 24, 80), 0);
    EXPECT_TRUE(colours.count(to_imu32(rgb(255, 90, 12))));           // orange ramp of the charted strip
    EXPECT_TRUE(colours.count(to_imu32(rgb(88, 88, 88))));            // grey ramp of the others
    EXPECT_TRUE(colours.count(to_imu32(palette::accent)));            // "now" and the selection bar

    TableFixture compact(LayoutMode::Signal, {24, 100, 1376, 700});
    compact.add_hops(3);
    const ImDrawData* d = compact.frame();
    colours = vertex_colours(d);
    EXPECT_TRUE(colours.count(to_imu32(palette::tab_fill)));          // range track
    EXPECT_TRUE(colours.count(to_imu32(rgb(58, 58, 58))));            // an unselected bar
    EXPECT_TRUE(colours.count(to_imu32(palette::text_white)));        // the charted bar's tick
    // The charted bar's gradient runs from the dark accent to the accent.
    int gradient = 0;
    for (ImU32 c : colours) {
        const int r = c & 0xff, g = (c >> 8) & 0xff, b = (c >> 16) & 0xff, a = c >> 24;
        if (a == 255 && r > 156 && r < 255 && g > 48 && g < 90 && b <= 15) ++gradient;
    }
    EXPECT_GE(gradient, 5);
    EXPECT_TRUE(colours.count(to_imu32(palette::card_bg)));
    EXPECT_TRUE(test::indices_in_range(d));
}

TEST(HopTablesDrawn, AHopWithoutItsProbeThreadSaysWhyInRed) {
    for (LayoutMode layout : {LayoutMode::Instrument, LayoutMode::Signal}) {
        TableFixture f(layout, {24, 100, 1376, 600});
        HopStats hop;
        hop.addr = Ipv4Addr(10, 0, 0, 1);
        f.view.trace.hops.push_back(hop);
        f.view.verdicts = compute_hop_verdicts(f.view.trace.hops);
        // Red in the router column, which starts after the hop node's.
        auto red_in_router_column = [&] { return vertices_between(f.frame(), to_imu32(palette::bad_red), 80, 400); };
        EXPECT_EQ(red_in_router_column(), 0);
        f.view.trace.hops[0].error = "Could not start a probe thread: Resource temporarily unavailable (os error 11)";
        EXPECT_GT(red_in_router_column(), 0) << static_cast<int>(layout);
    }
}

TEST(HopTablesDrawn, StripLegendOnlyWhenTheStripIsWiderThan420) {
    struct Case {
        float right;  // tables of 1352, 1280 and 1250: strips of 487.5, 432.8 and 410
        bool legend;
    };
    for (const Case c : {Case{1376, true}, Case{1304, true}, Case{1274, false}}) {
        TableFixture f(LayoutMode::Instrument, {24, 100, c.right, 600});
        // No hops, so the "Rate limited" square is the only thing in its colour.
        EXPECT_EQ(vertex_colours(f.frame()).count(to_imu32(rgb(74, 84, 104))) > 0, c.legend) << c.right;
    }
}

TEST(HopTablesDrawn, ManyHopsScrollWithoutSpillingOutOfTheArea) {
    TableFixture f(LayoutMode::Instrument, {24, 100, 1376, 300});
    f.add_hops(30);
    const ImDrawData* d = f.frame();
    d = f.frame();  // content size is known from the second frame
    // Rows out of view are not painted at all.
    int row_lines = 0;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == to_imu32(palette::row_line)) {
                ++row_lines;
                EXPECT_LE(v.pos.y, 300 + 40 + 1);
            }
    EXPECT_GT(row_lines, 0);
    // Twelve wheel lines move 480 points: the rows now start above the area.
    ImGui::GetIO().MouseWheel = -12;
    f.frame(ImVec2(600, 200));
    f.click(ImVec2(600, 134 + 5));
    const std::size_t picked = f.app.trace_tabs[1].selected_hop.value_or(99);
    EXPECT_GE(picked, 10u);
    EXPECT_LT(picked, 30u);
}

}  // namespace
}  // namespace corvane
