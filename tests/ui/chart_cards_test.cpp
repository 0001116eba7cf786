#include "ui/views/chart_cards.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "headless_imgui.h"
#include "pointer_sweep.h"
#include "ui/item_log.h"
#include "ui/views/chart_header.h"
#include "ui/palette.h"
#include "ui/theme.h"
#include "ui/views/toolbar_menus.h"
#include "ui/ui_memory.h"

namespace corvane {

namespace {

// The card's content; its inner rectangle is {58, 412, 1222, 692}: header row
// 412..444, the chart area from 452, the line chart's plot {106, 460, 1218, 666}.
constexpr Rect kCard{40, 400, 1240, 700};
constexpr float kBelowHeader = 452;
const ImVec2 kCombo{1176, 428};
constexpr std::int64_t kNow = 1'700'000'000'000;

struct Card {
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel panel;
    ViewServices services;

    Card() {
        panel.content = kCard;
        view.displayed = &view.trace;
        view.now_ms = kNow;
        view.probe_ms = 1000;
    }
    ImDrawData* frame(ImVec2 mouse, bool down, void (*draw)(ViewContext&)) {
        return test::run_frame(mouse, down, [&] {
            ViewContext ctx{app, view, actions, panel, services};
            draw(ctx);
        });
    }
    void click(ImVec2 at, void (*draw)(ViewContext&)) {
        frame(at, false, draw);
        frame(at, true, draw);
        frame(at, false, draw);
    }
    // Idle frames apart from the last press, so the next one is no double click.
    void settle(void (*draw)(ViewContext&)) {
        for (int i = 0; i < 30; ++i) frame({5, 5}, false, draw);
    }
};

struct Vertex {
    ImVec2 pos;
    ImU32 col;
};
std::vector<Vertex> vertices(const ImDrawData* d, const std::function<bool(const ImDrawVert&)>& keep) {
    std::vector<Vertex> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (keep(v)) out.push_back({v.pos, v.col});
    return out;
}
// Inside the card, below its header row.
bool in_chart(const ImDrawVert& v) {
    return v.pos.y > kBelowHeader && v.pos.y < kCard.bottom && v.pos.x > kCard.left && v.pos.x < kCard.right;
}
std::size_t count_below_header(const ImDrawData* d, Color32 c) {
    return vertices(d, [&](const ImDrawVert& v) { return v.col == to_imu32(c) && in_chart(v); }).size();
}
bool nothing_below_header(const ImDrawData* d) {
    return vertices(d, [](const ImDrawVert& v) { return in_chart(v) && (v.col >> 24) != 0; }).empty();
}

HopStats steady_hop(std::int64_t from, std::int64_t to, std::uint32_t rtt) {
    HopStats h;
    for (std::int64_t t = from; t < to; t += 1000) hop_stats_record(h, rtt, t);
    return h;
}

TEST(ChartCards, WindowPresetListAndCustomEntry) {
    test::ensure_headless_imgui();
    Card c;
    c.app.window_secs = 600;
    c.view.trace.hops.push_back(steady_hop(kNow - 10'000, kNow, 12));
    // Below the combo (its bottom at 444) and 4 apart, 6 in: 32-high rows 8 apart.
    auto list_entry = [](int i) { return ImVec2(kCombo.x, 448 + 6 + 40 * i + 16); };

    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);  // the list lays itself out
    c.click(list_entry(5), draw_instrument_chart);  // "Custom…"
    EXPECT_EQ(c.app.window_secs, 120u);
    c.settle(draw_instrument_chart);

    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);
    c.click(list_entry(5), draw_instrument_chart);  // already custom: kept
    EXPECT_EQ(c.app.window_secs, 120u);
    c.settle(draw_instrument_chart);

    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);
    c.click(list_entry(4), draw_instrument_chart);  // "1 hour"
    EXPECT_EQ(c.app.window_secs, 3600u);
    c.settle(draw_instrument_chart);

    // The list closed after the pick: a click where it was reaches nothing.
    c.click(list_entry(1), draw_instrument_chart);
    EXPECT_EQ(c.app.window_secs, 3600u);
    c.settle(draw_instrument_chart);

    // A second click on the combo closes the list without a pick.
    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);
    c.click(kCombo, draw_instrument_chart);
    c.settle(draw_instrument_chart);
    c.click(list_entry(0), draw_instrument_chart);
    EXPECT_EQ(c.app.window_secs, 3600u);
}

// A long DNS name gives way to the legend: first it ends in "…" (whole
// under the pointer), then it is gone, then the address gives way; the
// legend stays whole and no text is cut at the row's end.
TEST(ChartCards, LongNamesGiveWayToTheLegend) {
    test::ensure_headless_imgui();
    HopStats hop;
    hop.addr = Ipv4Addr(10, 77, 100, 1);
    hop.name = "a-rather-long-destination-name.customer-edge.region-west-2.example.net";
    std::uint64_t window = 300;
    const std::string title = "Hop 30";
    const auto draw = [&](Rect row, ImVec2 mouse) {
        test::run_frame(mouse, false, [&] { draw_chart_header(row, title, &hop, window, true); });
    };
    for (const float right : {1354.0f, 1194.0f, 1040.0f, 960.0f}) {  // 1400 and 1240 windows, and narrower
        const Rect row{402, 412, right, 444};
        ItemLog log;
        set_item_log(&log);
        draw(row, {0, 0});
        set_item_log(nullptr);
        std::map<std::string, const LoggedText*> shown;
        for (const LoggedText& t : log.texts) {
            shown[t.text] = &t;
            EXPECT_LE(t.rect.right, t.clip.right + 0.5f) << right << ": " << t.text << " is cut";
        }
        for (const char* label : {"Average per bar, newest in orange", "Spike", "Lost probes"})
            EXPECT_TRUE(shown.count(label)) << right << ": " << label;
        EXPECT_TRUE(shown.count(title)) << right;
        const auto starting = [&](std::string_view s) {
            return std::find_if(shown.begin(), shown.end(), [&](const auto& t) { return t.first.starts_with(s); });
        };
        const auto name = starting("a-");
        const auto addr = starting("10.");
        if (right >= 1194.0f) {
            ASSERT_NE(name, shown.end()) << right;
            EXPECT_TRUE(name->first.ends_with("\u2026")) << right;
        } else {
            EXPECT_EQ(name, shown.end()) << right;
        }
        if (right >= 1040.0f)
            EXPECT_TRUE(shown.count("10.77.100.1")) << right;
        else
            EXPECT_TRUE(addr == shown.end() || addr->first.ends_with("\u2026")) << right;
        if (right == 1194.0f) {
            // Under the pointer the name shows whole.
            const Rect r = name->second->rect;
            for (int k = 0; k < 40; ++k) draw(row, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});  // still for 0.66 s
            const ImGuiWindow* tip = ImGui::FindWindowByName("##Tooltip_00");
            EXPECT_TRUE(tip && tip->Active);
            draw(row, {0, 0});
        }
    }
}

// The chart window list and the toolbar's interval lists are one kind of
// drop-down: rows of one height and pitch with the selected row drawn alike,
// and Escape closes either.
TEST(ChartCards, WindowListIsDrawnLikeTheToolbarListsAndClosesOnEscape) {
    test::ensure_headless_imgui();
    struct Rows {
        std::vector<toolbar_testing::SweptItem> items;
        std::set<ImU32> selected_colours;  // of the selected row's shapes
    };
    // The rows in a column at x below y0, and the colours drawn in row `selected`.
    const auto rows_of = [](float x, float y0, std::size_t selected, const std::function<void()>& build) {
        Rows r;
        r.items = toolbar_testing::sweep({x, y0}, {x, 860}, build);
        if (r.items.size() <= selected) return r;
        const auto& row = r.items[selected];
        const ImDrawData* d = test::run_frame({5, 5}, false, build);
        for (int l = 0; l < d->CmdListsCount; ++l)
            for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
                if (v.pos.y > row.left && v.pos.y < row.right && (v.col >> 24) == 255) r.selected_colours.insert(v.col);
        return r;
    };

    Card c;
    c.app.window_secs = 600;  // "10 min", the third row
    c.view.trace.hops.push_back(steady_hop(kNow - 10'000, kNow, 12));
    const auto chart = [&] {
        ViewContext ctx{c.app, c.view, c.actions, c.panel, c.services};
        draw_instrument_chart(ctx);
    };
    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);
    const Rows window_list = rows_of(kCombo.x, 446, 2, chart);

    SharedSettings shared;
    shared.probe_ms = 2500;  // "2.5 s", the third row
    const Rect combo{100, 40, 212, 72};
    const auto toolbar = [&] {
        show_interval_combo(combo, "probe_iv", "Ping", "", shared, IntervalKind::Probe, probe_interval_choices);
    };
    toolbar_testing::click_at({150, 56}, toolbar);
    const Rows ping_list = rows_of(150, 74, 2, toolbar);

    ASSERT_EQ(window_list.items.size(), 6u);
    ASSERT_GE(ping_list.items.size(), 3u);
    for (std::size_t i = 0; i + 1 < 3; ++i) {
        const auto height = [](const Rows& r, std::size_t k) { return r.items[k].right - r.items[k].left; };
        const auto pitch = [](const Rows& r, std::size_t k) { return r.items[k + 1].left - r.items[k].left; };
        EXPECT_NEAR(height(window_list, i), height(ping_list, i), 2.5) << i;
        EXPECT_NEAR(pitch(window_list, i), pitch(ping_list, i), 2.5) << i;
    }
    for (const ImU32 look : {to_imu32(theme::selection_fill), to_imu32(theme::selection_stroke.color)}) {
        EXPECT_TRUE(window_list.selected_colours.count(look)) << std::hex << look;
        EXPECT_TRUE(ping_list.selected_colours.count(look)) << std::hex << look;
    }

    // Escape closes the open window list, as it closes the toolbar's.
    c.settle(draw_instrument_chart);
    c.click(kCombo, draw_instrument_chart);
    c.frame({5, 5}, false, draw_instrument_chart);
    ASSERT_EQ(toolbar_testing::sweep({kCombo.x, 446}, {kCombo.x, 860}, chart).size(), 6u);
    ImGuiIO& io = ImGui::GetIO();
    if (io.KeyMap[ImGuiKey_Escape] < 0) io.KeyMap[ImGuiKey_Escape] = 300;
    io.KeysDown[io.KeyMap[ImGuiKey_Escape]] = true;
    c.frame({5, 5}, false, draw_instrument_chart);
    io.KeysDown[io.KeyMap[ImGuiKey_Escape]] = false;
    c.frame({5, 5}, false, draw_instrument_chart);
    EXPECT_TRUE(toolbar_testing::sweep({kCombo.x, 446}, {kCombo.x, 860}, chart).empty());
    c.settle(draw_instrument_chart);
}

TEST(ChartCards, MinutesFieldStaysWithinAnHour) {
    test::ensure_headless_imgui();
    Card c;
    c.view.trace.hops.push_back(steady_hop(kNow - 10'000, kNow, 12));
    const ImVec2 field{1100, 428};  // left of the combo
    auto drag = [&](float dx) {
        c.frame(field, false, draw_instrument_chart);
        c.frame(field, true, draw_instrument_chart);
        for (int i = 1; i <= 10; ++i) c.frame({field.x + dx * i / 10, field.y}, true, draw_instrument_chart);
        c.frame({field.x + dx, field.y}, false, draw_instrument_chart);
        c.settle(draw_instrument_chart);
    };
    // Pointing at it without dragging leaves an odd window from the settings alone.
    c.app.window_secs = 90;  // custom, shown as 1 minute
    c.click(field, draw_instrument_chart);
    EXPECT_EQ(c.app.window_secs, 90u);
    c.settle(draw_instrument_chart);

    c.app.window_secs = 660;
    drag(60);
    EXPECT_GT(c.app.window_secs, 660u);
    EXPECT_LT(c.app.window_secs, 1800u);
    EXPECT_EQ(c.app.window_secs % 60, 0u);

    c.app.window_secs = 120;
    drag(-1000);
    EXPECT_EQ(c.app.window_secs, 60u);  // no lower than a minute (the "1 min" preset)

    c.app.window_secs = 1860;
    drag(2000);
    EXPECT_EQ(c.app.window_secs, 3600u);  // no higher than an hour
}

TEST(ChartCards, LineChartDotTicksAndHover) {
    test::ensure_headless_imgui();
    Card c;
    HopStats h;
    hop_stats_record(h, std::nullopt, kNow - 3000);
    hop_stats_record(h, 15u, kNow - 2000);
    hop_stats_record(h, std::nullopt, kNow - 1000);
    c.view.trace.hops.push_back(h);
    c.app.window_secs = 60;  // 60 probes: the newest on the right edge, a pitch of about 18.9

    const ImDrawData* d = c.frame({5, 5}, false, draw_instrument_chart);
    EXPECT_GT(count_below_header(d, color_with_alpha(palette::bad_red, 170)), 0u);  // ticks
    EXPECT_GT(count_below_header(d, palette::accent), 0u);                          // the dot
    EXPECT_EQ(count_below_header(d, color_with_alpha(255, 77, 0, 90)), 0u);         // no area for one point
    EXPECT_EQ(count_below_header(d, palette::bad_red), 0u);                          // no tooltip yet
    EXPECT_TRUE(test::indices_in_range(d));

    // Over the newest (lost) probe: crosshair and a red "lost".
    d = c.frame({1216, 560}, false, draw_instrument_chart);
    EXPECT_GT(count_below_header(d, palette::bad_red), 0u);
    EXPECT_GT(count_below_header(d, palette::tooltip_bg), 0u);
    // Over the reply: the hover dot's dark outline and the value in orange.
    d = c.frame({1218 - 18.9f, 560}, false, draw_instrument_chart);
    EXPECT_GT(count_below_header(d, rgb(10, 10, 10)), 0u);
    EXPECT_GT(count_below_header(d, palette::accent_bright), 0u);
}

TEST(ChartCards, FullLineChartStaysInItsVertexBlocks) {
    test::ensure_headless_imgui();
    Card c;
    HopStats h;
    for (int i = 0; i < 3600; ++i)
        hop_stats_record(h, i % 97 == 0 ? std::nullopt : std::optional<std::uint32_t>(10 + i % 40), kNow - (3600 - i) * 1000);
    c.view.trace.hops.push_back(h);
    c.app.window_secs = 3600;
    const ImDrawData* d = c.frame({700, 560}, false, draw_instrument_chart);
    EXPECT_TRUE(test::indices_in_range(d));
    EXPECT_GT(count_below_header(d, color_with_alpha(255, 77, 0, 90)), 1000u);
}

TEST(ChartCards, NothingSelectedDrawsTheHeaderOnly) {
    test::ensure_headless_imgui();
    Card c;
    c.view.trace.hops.resize(2);
    c.view.selected_hop = 5;
    for (auto draw : {draw_instrument_chart, draw_signal_chart}) {
        const ImDrawData* d = c.frame({600, 560}, false, draw);
        EXPECT_TRUE(nothing_below_header(d));
        // The legend is still there.
        EXPECT_FALSE(vertices(d, [](const ImDrawVert& v) { return v.col == to_imu32(palette::accent); }).empty());
    }
    c.view.selected_host = 5;
    const ImDrawData* d = c.frame({600, 560}, false, draw_watch_chart);
    EXPECT_TRUE(nothing_below_header(d));

    // A host with neither label nor host text is still charted.
    c.view.selected_host = 1;
    d = c.frame({600, 560}, false, draw_watch_chart);
    EXPECT_GT(count_below_header(d, palette::border), 0u);  // the 0 ms grid line
    // With no probes yet it is the bare grid: no vertical time lines across
    // the plot {106, 460, 1218, 666}.
    EXPECT_TRUE(vertices(d, [](const ImDrawVert& v) {
                    return v.col == to_imu32(palette::hover_fill) && v.pos.x > 110 && v.pos.x < 1214 &&
                           v.pos.y > 460 && v.pos.y < 666;
                }).empty());
}

TEST(ChartCards, TooNarrowACardDrawsNoChart) {
    test::ensure_headless_imgui();
    Card c;
    c.panel.content = {40, 400, 180, 700};  // a plot under 60 wide
    c.view.trace.hops.push_back(steady_hop(kNow - 10'000, kNow, 12));
    for (auto draw : {draw_instrument_chart, draw_signal_chart}) {
        const ImDrawData* d = c.frame({100, 560}, false, draw);
        EXPECT_EQ(count_below_header(d, palette::border), 0u);
        EXPECT_TRUE(test::indices_in_range(d));
    }
}

TEST(ChartCards, BarChartHoldsStillWhileHovered) {
    test::ensure_headless_imgui();
    Card c;
    c.app.window_secs = 60;
    c.view.trace.hops.push_back(steady_hop(kNow - 120'000, kNow, 10));
    unsigned int freeze_id = 0;
    auto frame = [&](ImVec2 mouse) {
        return test::run_frame(mouse, false, [&] {
            freeze_id = ImGui::GetID("barchart_freeze");
            ViewContext ctx{c.app, c.view, c.actions, c.panel, c.services};
            draw_signal_chart(ctx);
        });
    };
    const ImVec2 over{600, 560};
    frame(over);
    EXPECT_EQ(ui_memory().get<std::int64_t>(freeze_id, 0), kNow);

    // Slow replies arrive while the pointer rests: they would be spikes, but
    // the chart does not move.
    HopStats& h = c.view.trace.hops[0];
    for (std::int64_t t = kNow; t < kNow + 20'000; t += 1000) hop_stats_record(h, 200u, t);
    c.view.now_ms = kNow + 20'000;
    const ImDrawData* d = frame(over);
    EXPECT_EQ(ui_memory().get<std::int64_t>(freeze_id, 0), kNow);
    EXPECT_EQ(count_below_header(d, palette::warn_amber), 0u);
    EXPECT_GT(count_below_header(d, palette::accent_bright), 0u);  // the hover box value and the time label

    // Off the chart: back to the current time, and the spikes show.
    d = frame({5, 5});
    EXPECT_EQ(ui_memory().get<std::int64_t>(freeze_id, -1), -1);
    EXPECT_GT(count_below_header(d, palette::warn_amber), 0u);
    EXPECT_TRUE(test::indices_in_range(d));
}

TEST(ChartCards, BarWithLossesShowsItsRedBackground) {
    test::ensure_headless_imgui();
    Card c;
    c.app.window_secs = 60;
    HopStats h = steady_hop(kNow - 60'000, kNow - 1000, 10);
    hop_stats_record(h, std::nullopt, kNow - 500);
    hop_stats_record(h, 10u, kNow - 400);
    c.view.trace.hops.push_back(h);
    const ImDrawData* d = c.frame({1214, 560}, false, draw_signal_chart);  // over the last bin
    EXPECT_GT(count_below_header(d, color_with_alpha(palette::bad_red, 70)), 0u);
    EXPECT_GT(count_below_header(d, palette::bad_red), 0u);  // "10 ms, 1 lost"
    EXPECT_GT(count_below_header(d, color_with_alpha(255, 255, 255, 50)), 0u);  // the outline
}

}  // namespace
}  // namespace corvane
