#include "ui/views/watch_view.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cmath>
#include <set>

#include "engine/clock_text.h"
#include "headless_imgui.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/hop_table_texts.h"
#include "ui/views/watch_view_cells.h"
#include "ui/views/watch_view_layout.h"
#include "ui/views/watch_view_texts.h"

namespace corvane {
namespace {

const std::string kDot = "\u00b7";

HopStats host_with(std::uint32_t sent, std::uint32_t received, std::uint32_t last, std::uint64_t rtt_sum,
                   double jitter = 0.0) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    h.last = last;
    h.rtt_sum = rtt_sum;
    h.jitter = jitter;
    return h;
}

// Keeps the clock texts in UTC for the test and restores the flag after.
struct UtcClock {
    bool old = clock_utc();
    UtcClock() { set_clock_utc(true); }
    ~UtcClock() { set_clock_utc(old); }
};

// --- Layout -------------------------------------------------------------

TEST(WatchViewLayout, ColumnWidthsFillTheTableUntilClamped) {
    struct Case {
        float w, host, strip;
    };
    for (const Case c : {Case{1352, 324.48f, 457.52f}, Case{800, 220, 160}, Case{1600, 340, 690},
                         Case{1000, 240, 190}}) {
        const WatchColumnWidths w = watch_table_column_widths(c.w);
        EXPECT_FLOAT_EQ(w[kWatchColHost], c.host) << c.w;
        EXPECT_FLOAT_EQ(w[kWatchColStrip], c.strip) << c.w;
        float sum = 0;
        for (float x : w) sum += x;
        if (c.w - kWatchFixedColumns - c.host >= 160) {
            EXPECT_NEAR(sum, c.w, 1e-3) << c.w;
        }
    }
}

TEST(WatchViewLayout, RowColumnsAndButtons) {
    const WatchRowColumns c = watch_row_columns(24, 1352);
    EXPECT_FLOAT_EQ(c.host_left, 64);
    EXPECT_FLOAT_EQ(c.host_clip_right, 64 + 324.48f - 10);
    EXPECT_FLOAT_EQ(c.last_right, 64 + 324.48f + 60);
    EXPECT_FLOAT_EQ(c.jitter_right, 64 + 324.48f + 246);
    EXPECT_FLOAT_EQ(c.status_left, c.jitter_right + 24);
    EXPECT_FLOAT_EQ(c.status_clip_right, c.status_left + 162);
    EXPECT_FLOAT_EQ(c.strip_left, c.jitter_right + 214);
    // The strip ends where the Trace column (70) begins.
    EXPECT_NEAR(c.strip_right, 24 + 1352 - 70, 1e-3);

    const Rect b = watch_trace_button({24, 100, 1376, 144});
    EXPECT_EQ(b, (Rect{1318, 109, 1376, 135}));
}

TEST(WatchViewLayout, StripCellsEndAtTheColumnEdge) {
    for (float width : {180.0f, 457.52f, 690.0f}) {
        const Rect first = watch_strip_cell(100, width, 50, 0);
        const Rect last = watch_strip_cell(100, width, 50, 59);
        EXPECT_FLOAT_EQ(first.left, 100);
        EXPECT_NEAR(last.right, 100 + width, 1e-3) << width;
        EXPECT_EQ(first.height(), 22);
        EXPECT_EQ(first.top, 39);
    }
    // Too narrow for 60 cells: they keep a width of 1 and run over.
    EXPECT_FLOAT_EQ(watch_strip_cell(0, 160, 0, 1).left, 3);
}

TEST(WatchViewLayout, NameBlockAndEditButton) {
    EXPECT_FLOAT_EQ(watch_name_block_width(500), 200);
    EXPECT_FLOAT_EQ(watch_name_block_width(1352), 297.44f);
    EXPECT_FLOAT_EQ(watch_name_block_width(2000), 320);
    const Rect block{24, 22, 324, 82};
    EXPECT_EQ(watch_edit_button(block, 120), (Rect{132, 28, 180, 52}));
    // A long title would push it out: it stays 56 from the block's right.
    EXPECT_EQ(watch_edit_button(block, 900), (Rect{268, 28, 316, 52}));
}

// --- Cells --------------------------------------------------------------

TEST(WatchViewCells, RoundTripThresholds) {
    struct Case {
        std::uint32_t last;
        Color32 color;
    };
    for (const Case c : {Case{0, palette::value_text}, Case{100, palette::value_text}, Case{101, palette::warn_amber},
                         Case{250, palette::warn_amber}, Case{251, palette::bad_red}}) {
        const CellText cell = watch_last_cell(host_with(1, 1, c.last, c.last));
        EXPECT_EQ(cell.text, std::to_string(c.last));
        EXPECT_EQ(cell.color, c.color) << c.last;
    }
    // The average: 201 / 2 = 100.5 is above 100, and "{:.0}" rounds the half to even.
    EXPECT_EQ(watch_avg_cell(host_with(2, 2, 100, 201)), (CellText{"100", palette::warn_amber}));
    EXPECT_EQ(watch_avg_cell(host_with(4, 4, 100, 402)), (CellText{"100", palette::warn_amber}));
    EXPECT_EQ(watch_avg_cell(host_with(3, 3, 9, 31)), (CellText{"10", palette::value_text}));
    EXPECT_EQ(watch_avg_cell(host_with(2, 2, 300, 502)), (CellText{"251", palette::bad_red}));
}

TEST(WatchViewCells, LossThresholdsAndOddCounts) {
    struct Case {
        std::uint32_t sent, received;
        CellText want;
    };
    for (const Case& c : {
             Case{0, 0, {kDot, palette::waiting_grey}},
             Case{10, 10, {"0.0%", palette::waiting_grey}},
             Case{100, 99, {"1.0%", palette::warn_amber}},
             Case{51, 50, {"2.0%", palette::warn_amber}},  // 1.96 %, shown rounded
             Case{50, 49, {"2.0%", palette::bad_red}},      // exactly 2.0 %
             Case{3, 0, {"100.0%", palette::bad_red}},
             // More replies than probes (a damaged recording) is no loss,
             // not a wrapped-around count.
             Case{5, 7, {"0.0%", palette::waiting_grey}},
         }) {
        EXPECT_EQ(watch_loss_cell(host_with(c.sent, c.received, 1, c.received)), c.want)
            << c.sent << "/" << c.received;
    }
}

TEST(WatchViewCells, PlaceholdersBeforeData) {
    const HopStats waiting;
    for (const CellText& c : {watch_last_cell(waiting), watch_avg_cell(waiting), watch_loss_cell(waiting),
                              watch_jitter_cell(waiting)})
        EXPECT_EQ(c, (CellText{kDot, palette::waiting_grey}));
    // All probes lost so far: loss shows, the round trips don't.
    const HopStats lost = host_with(4, 0, 0, 0);
    EXPECT_EQ(watch_last_cell(lost).text, kDot);
    EXPECT_EQ(watch_loss_cell(lost).text, "100.0%");
    // Jitter from the second reply on.
    EXPECT_EQ(watch_jitter_cell(host_with(1, 1, 5, 5, 0.0)).text, kDot);
    EXPECT_EQ(watch_jitter_cell(host_with(2, 2, 5, 9, 3.46)), (CellText{"3.5", palette::text_secondary}));
    EXPECT_EQ(watch_jitter_cell(host_with(2, 2, 5, 9, std::nan(""))).text, "0.0");
}

TEST(WatchViewCells, HostLines) {
    struct Case {
        std::optional<std::string> host, label, name;
        std::optional<Ipv4Addr> addr;
        std::string name_line, detail;
    };
    const Ipv4Addr a(10, 0, 0, 1);
    for (const Case& c : {
             Case{"10.0.0.1", std::nullopt, std::nullopt, a, "10.0.0.1", ""},
             Case{"10.0.0.1", std::nullopt, "gw.lan", a, "10.0.0.1", "gw.lan"},
             Case{"gw.lan", "Router", "", a, "Router", "gw.lan  \u00b7  10.0.0.1"},
             Case{"gw.lan", "Router", "r1.isp", a, "Router", "gw.lan  \u00b7  10.0.0.1  \u00b7  r1.isp"},
             Case{"nas", std::nullopt, std::nullopt, std::nullopt, "nas", ""},
             Case{"010.0.0.1", std::nullopt, std::nullopt, a, "010.0.0.1", "10.0.0.1"},  // not the same text
             Case{std::nullopt, "Printer", std::nullopt, a, "Printer", "10.0.0.1"},
             Case{std::nullopt, std::nullopt, std::nullopt, std::nullopt, "", ""},
         }) {
        HopStats h;
        h.host = c.host;
        h.label = c.label;
        h.name = c.name;
        h.addr = c.addr;
        EXPECT_EQ(watch_host_name_line(h), c.name_line);
        EXPECT_EQ(watch_host_detail_line(h), c.detail) << c.name_line;
    }
}

TEST(WatchViewCells, HeaderCountsAndTexts) {
    using K = HostStatusKind;
    const std::vector<HostStatusKind> statuses{K::Up, K::Up, K::Waiting, K::Error, K::Degraded, K::Down};
    const std::int64_t t1 = 1'700'000'000'000, t2 = t1 + 5'000;
    const std::vector<RouteEvent> events{{"a down", {}, t1, RouteEventKind::HostDown},
                                         {"a up", {}, t1 + 1000, RouteEventKind::HostUp},
                                         {"a down", {}, t2, RouteEventKind::HostDown},
                                         {"started", {}, t2 + 1, RouteEventKind::Info}};
    const WatchCounts c = count_watch_statuses(statuses, events);
    EXPECT_EQ(c.up, 2u);
    EXPECT_EQ(c.degraded, 1u);
    EXPECT_EQ(c.down, 2u);  // Error counts as Down; Waiting nowhere
    EXPECT_EQ(c.outages, 2u);
    EXPECT_EQ(c.newest_outage_ms, t2);

    const WatchCounts none = count_watch_statuses({}, {});
    EXPECT_EQ(none.up + none.degraded + none.down + none.outages, 0u);
    EXPECT_FALSE(none.newest_outage_ms);
    EXPECT_EQ(watch_count_color(0, palette::ok_green), palette::text_primary);
    EXPECT_EQ(watch_count_color(3, palette::ok_green), palette::ok_green);

    UtcClock utc;
    const std::int64_t at = 1'700'000'000'000;  // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(watch_outages_sub_text(std::nullopt), "none so far");
    EXPECT_EQ(watch_outages_sub_text(at), "last 22:13:20 UTC");
    EXPECT_EQ(watch_header_sub_line(0, at), "0 hosts  \u00b7  since 22:13 UTC");
    EXPECT_EQ(watch_header_sub_line(12, at), "12 hosts  \u00b7  since 22:13 UTC");
}

TEST(WatchViewCells, ClassColoursOfDotAndText) {
    using K = HostStatusKind;
    struct Case {
        K kind;
        Color32 dot, text;
    };
    // Up is the one class whose text is not in its dot's colour.
    for (const Case c : {Case{K::Waiting, palette::waiting_grey, palette::waiting_grey},
                         Case{K::Up, palette::ok_green, rgb(176, 176, 176)},
                         Case{K::Degraded, palette::warn_amber, palette::warn_amber},
                         Case{K::Down, palette::bad_red, palette::bad_red},
                         Case{K::Error, palette::bad_red, palette::bad_red}}) {
        EXPECT_EQ(watch_status_dot_color(c.kind), c.dot) << static_cast<int>(c.kind);
        EXPECT_EQ(watch_status_text_color(c.kind), c.text) << static_cast<int>(c.kind);
    }
}

TEST(WatchViewCells, TitleFollowsWhatIsShownAndTipsMatchTheHopTable) {
    App app;
    EXPECT_EQ(watch_list_name(app, false), "");
    app.watch_tabs.push_back(new_watch_tab("Office"));
    app.watch_tabs.push_back(new_watch_tab("Lab"));
    app.active_watch = 1;
    app.replay.emplace();
    app.replay->title = "Office 2024";
    // A recording that is loaded but not on view leaves the live list's name.
    EXPECT_EQ(watch_list_name(app, false), "Lab");
    EXPECT_EQ(watch_list_name(app, true), "Office 2024");
    app.active_watch = 2;
    EXPECT_EQ(watch_list_name(app, false), "");

    // The columns the two tables share explain themselves the same way.
    EXPECT_EQ(std::string_view(watch_text::kHostTip), hop_table_text::kRouterTip);
    EXPECT_EQ(std::string_view(watch_text::kAvgTip), hop_table_text::kAvgTip);
    EXPECT_EQ(std::string_view(watch_text::kJitterTip), hop_table_text::kJitterTip);
    EXPECT_EQ(std::string_view(watch_text::kStripTip), hop_table_text::kStripTip);
}

constexpr std::int64_t kNow = 1'700'000'004'000;  // 4 s into a ten-second period

// --- Drawing and clicks -------------------------------------------------

struct WatchFixture {
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel header_panel;
    PlacedPanel table_panel;
    ViewServices services;

    explicit WatchFixture(std::size_t hosts) {
        app.watch_tabs.push_back(new_watch_tab("Office"));
        app.view_mode = ViewMode::Watch;
        view.now_ms = kNow;
        for (std::size_t i = 0; i < hosts; ++i) {
            HopStats h;
            h.host = "10.0.0." + std::to_string(i + 1);
            hop_stats_record(h, 12, kNow - 1000);
            view.watch.hops.push_back(h);
            view.statuses.push_back(watch_host_status_kind(h));
        }
        view.displayed = &view.watch;
        header_panel.rect = {0, 100, 1400, 204};
        header_panel.content = {24, 100, 1376, 204};
        table_panel.rect = {0, 204, 1400, 600};
        table_panel.content = {24, 208, 1376, 600};
    }

    void frame(ImVec2 mouse, bool down) {
        test::run_frame(mouse, down, [&] {
            ViewContext h{app, view, actions, header_panel, services};
            ImGui::PushID("header");
            draw_watch_header(h);
            ImGui::PopID();
            ViewContext t{app, view, actions, table_panel, services};
            draw_watch_table(t);
        });
    }
    void click(ImVec2 at) {
        actions = {};
        frame(at, false);
        frame(at, true);
        frame(at, false);
    }
    // Rows start after the 34-point header and 8 of spacing.
    static ImVec2 row_point(std::size_t i, float x = 600) { return {x, 208 + 34 + 8 + 44.0f * i + 22}; }
    static ImVec2 trace_point(std::size_t i) { return row_point(i, 1376 - 29); }
    ImVec2 edit_point() const {
        const float title = layout_text("Office", {FontFamily::Semibold, 24}, palette::text_primary).size.x;
        return {24 + title + 12 + 24, 152 - 30 + 6 + 12};
    }
};

TEST(WatchViewDraw, RowClickSelectsAndTraceDoesNot) {
    WatchFixture f(3);
    f.click(WatchFixture::row_point(2));
    EXPECT_EQ(f.app.watch_tabs[0].selected, std::optional<std::size_t>(2));
    EXPECT_FALSE(f.actions.trace_host);

    f.click(WatchFixture::trace_point(1));
    EXPECT_EQ(f.actions.trace_host, std::optional<std::string>("10.0.0.2"));
    EXPECT_EQ(f.app.watch_tabs[0].selected, std::optional<std::size_t>(2));  // unchanged
    EXPECT_FALSE(f.actions.edit_list);
}

TEST(WatchViewDraw, TraceWithoutHostTextAsksNothing) {
    WatchFixture f(2);
    f.view.watch.hops[1].host.reset();
    f.view.watch.hops[1].label = "Printer";
    f.click(WatchFixture::trace_point(1));
    EXPECT_FALSE(f.actions.trace_host);
    EXPECT_FALSE(f.app.watch_tabs[0].selected);
}

TEST(WatchViewDraw, SameHostTwiceGetsTwoButtons) {
    WatchFixture f(2);
    f.view.watch.hops[1].host = f.view.watch.hops[0].host;
    f.click(WatchFixture::trace_point(1));
    EXPECT_EQ(f.actions.trace_host, std::optional<std::string>("10.0.0.1"));
    f.click(WatchFixture::trace_point(0));
    EXPECT_EQ(f.actions.trace_host, std::optional<std::string>("10.0.0.1"));
    EXPECT_FALSE(f.app.watch_tabs[0].selected);
}

TEST(WatchViewDraw, EditAsksForTheListEditor) {
    WatchFixture f(1);
    f.click(f.edit_point());
    EXPECT_EQ(f.actions.edit_list, std::optional<std::string>("Office"));
    f.click({1000, 30});  // well away
    EXPECT_FALSE(f.actions.edit_list);
}

TEST(WatchViewDraw, RecordingHasNoButtons) {
    WatchFixture f(2);
    f.view.playback_active = true;
    f.app.replay.emplace();
    f.app.replay->title = "Office 2024";
    f.click(f.edit_point());
    EXPECT_FALSE(f.actions.edit_list);
    // Where "Trace" would be, the row takes the click.
    f.click(WatchFixture::trace_point(1));
    EXPECT_FALSE(f.actions.trace_host);
    EXPECT_EQ(f.app.watch_tabs[0].selected, std::optional<std::size_t>(1));
}

std::set<ImU32> colours_of(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

TEST(WatchViewDraw, EmptyListShowsOnlyTheHint) {
    WatchFixture f(0);
    ImDrawData* d = test::run_frame({0, 0}, false, [&] {
        ViewContext t{f.app, f.view, f.actions, f.table_panel, f.services};
        draw_watch_table(t);
    });
    const auto colours = colours_of(d);
    EXPECT_TRUE(colours.count(to_imu32(palette::text_secondary)));  // the hint
    EXPECT_FALSE(colours.count(to_imu32(palette::row_line)));        // no rows
    EXPECT_TRUE(colours.count(to_imu32(palette::accent)));           // "now"
}

TEST(WatchViewDraw, SelectedRowAndClassesPainted) {
    WatchFixture f(3);
    f.view.watch.hops[1].error = "Name does not resolve";
    f.view.selected_host = 2;
    const auto colours = colours_of(test::run_frame({0, 0}, false, [&] {
        ViewContext t{f.app, f.view, f.actions, f.table_panel, f.services};
        draw_watch_table(t);
    }));
    EXPECT_TRUE(colours.count(IM_COL32(75, 16, 0, 18)));      // the selected row's tint
    EXPECT_TRUE(colours.count(to_imu32(palette::ok_green)));  // Up dots
    EXPECT_TRUE(colours.count(to_imu32(palette::bad_red)));   // the Error dot and text
    EXPECT_TRUE(colours.count(to_imu32(rgb(70, 26, 8))));     // the selected host's strip ramp
}

TEST(WatchViewDraw, AStatusTooLongForItsCellShowsWholeUnderThePointer) {
    WatchFixture f(2);
    f.view.watch.hops[0].error = "Name does not resolve";
    f.view.watch.hops[1].error = "Could not start a probe thread: Resource temporarily unavailable (os error 11)";
    const float status_x = watch_row_columns(24, 1352).status_left + 20;
    for (std::size_t i : {0u, 1u}) {
        for (int k = 0; k < 40; ++k) f.frame(WatchFixture::row_point(i, status_x), false);  // still for 0.66 s
        const ImGuiWindow* tip = ImGui::FindWindowByName("##Tooltip_00");
        EXPECT_EQ(tip && tip->Active, i == 1) << "host " << i;
    }
}

TEST(WatchViewDraw, WheelScrollsALongList) {
    WatchFixture f(40);
    f.frame({600, 400}, false);
    ImGui::GetIO().MouseWheel = -3.0f;  // three notches of 40 points
    f.frame({600, 400}, false);
    f.click(WatchFixture::row_point(0));
    // 120 points down: row 0 of the view now shows host 3.
    ASSERT_TRUE(f.app.watch_tabs[0].selected);
    EXPECT_EQ(*f.app.watch_tabs[0].selected, 3u);
    ImDrawData* d = test::run_frame({600, 400}, false, [&] {
        ViewContext t{f.app, f.view, f.actions, f.table_panel, f.services};
        draw_watch_table(t);
    });
    EXPECT_TRUE(test::indices_in_range(d));
}

}  // namespace
}  // namespace corvane
