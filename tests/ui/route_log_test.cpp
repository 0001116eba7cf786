#include "ui/views/route_log.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cmath>
#include <limits>
#include <set>

#include "headless_imgui.h"
#include "ui/item_log.h"
#include "ui/palette.h"
#include "ui/ui_memory.h"
#include "ui/views/route_log_card.h"
#include "ui/views/route_log_comparison.h"
#include "ui/views/route_log_scroll.h"
#include "ui/scroll_area.h"
#include "ui/views/route_log_text.h"

namespace corvane {
namespace {

const std::string kDot = "\u00b7";

HopStats hop(std::uint32_t sent, std::uint32_t received, double jitter = 0.0) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    h.jitter = jitter;
    return h;
}

TraceState with_destination(HopStats h) {
    TraceState s;
    s.hops = {HopStats{}, std::move(h)};
    return s;
}

// --- Card and tiles --------------------------------------------------------

TEST(RouteLogTexts, NewTabShowsNothingYet) {
    TraceState s;
    const DestinationCardTexts card = destination_card_texts(s);
    EXPECT_EQ(card.value, kDot);
    EXPECT_FALSE(card.show_ms);
    EXPECT_EQ(card.detail, "");
    s.target_addr = Ipv4Addr(10, 0, 0, 1);
    EXPECT_EQ(destination_card_texts(s).detail, "10.0.0.1");

    const DeliveredTileTexts delivered = delivered_tile_texts(s);
    EXPECT_EQ(delivered.percent, kDot);
    EXPECT_EQ(delivered.sub, "no data yet");
    EXPECT_EQ(delivered.delivered, 0.0f);
    const JitterTileTexts jitter = jitter_tile_texts(s);
    EXPECT_EQ(jitter.value, kDot);
    EXPECT_EQ(jitter.verdict, "no data yet");
    EXPECT_EQ(jitter.fraction, 0.0f);
    EXPECT_EQ(route_log_summary(s), "");
}

TEST(RouteLogTexts, AnsweringDestinationCard) {
    HopStats h = hop(8, 8);
    h.rtt_sum = 100;  // 12.5 -> "12"
    h.best = 9;
    h.worst = 40;
    h.name = "edge.example";
    TraceState s = with_destination(h);
    s.target_addr = Ipv4Addr(10, 0, 0, 1);
    const DestinationCardTexts card = destination_card_texts(s);
    EXPECT_EQ(card.value, "12");
    EXPECT_TRUE(card.show_ms);
    EXPECT_EQ(card.detail, "10.0.0.1    edge.example    9 / 40 ms");
    s.hops.back().name = "";
    EXPECT_EQ(destination_card_texts(s).detail, "10.0.0.1    9 / 40 ms");
}

TEST(RouteLogTexts, DeliveredTile) {
    struct Case {
        std::uint32_t sent, received;
        const char* percent;
        const char* sub;
        float delivered;
    };
    for (const Case& c : {Case{7, 0, "0.0%", "7 of 7 lost", 0.0f}, Case{4, 3, "75.0%", "1 of 4 lost", 0.75f},
                          Case{3, 3, "100.0%", "0 of 3 lost", 1.0f},
                          Case{3, 5, "100.0%", "0 of 3 lost", 1.0f}}) {  // counters caught mid-update
        const DeliveredTileTexts t = delivered_tile_texts(with_destination(hop(c.sent, c.received)));
        EXPECT_EQ(t.percent, c.percent);
        EXPECT_EQ(t.sub, c.sub);
        EXPECT_FLOAT_EQ(t.delivered, c.delivered);
    }
    const DestinationCardTexts silent = destination_card_texts(with_destination(hop(7, 0)));
    EXPECT_EQ(silent.value, kDot);
    EXPECT_FALSE(silent.show_ms);
}

TEST(RouteLogTexts, JitterVerdictAndBar) {
    struct Case {
        double jitter;
        const char* value;
        const char* verdict;
        float fraction;
    };
    const Case cases[] = {
        {0.1, "0.1", "low, good for voice", 0.02f},  {4.99, "5.0", "low, good for voice", 4.99f / 30},
        {5.0, "5.0", "moderate", 5.0f / 30},         {14.99, "15.0", "moderate", 14.99f / 30},
        {15.0, "15.0", "high, voice will suffer", 0.5f}, {45.0, "45.0", "high, voice will suffer", 1.0f},
        {std::numeric_limits<double>::quiet_NaN(), "0.0", "low, good for voice", 0.02f},
    };
    for (const Case& c : cases) {
        const JitterTileTexts t = jitter_tile_texts(with_destination(hop(3, 3, c.jitter)));
        EXPECT_EQ(t.value, c.value) << c.jitter;
        EXPECT_EQ(t.verdict, c.verdict) << c.jitter;
        EXPECT_NEAR(t.fraction, c.fraction, 1e-6) << c.jitter;
    }
    EXPECT_EQ(jitter_tile_texts(with_destination(hop(3, 0, 9.0))).value, kDot);
}

// --- Route log entries -----------------------------------------------------

RouteEvent event(RouteEventKind kind, std::int64_t t, std::optional<std::string> detail = std::nullopt) {
    return {"event at " + std::to_string(t), std::move(detail), t, kind};
}

TEST(RouteLogTexts, SummaryCountsRouteChanges) {
    TraceState s;
    s.hops.resize(12);
    EXPECT_EQ(route_log_summary(s), "12 hops, stable");
    s.events = {event(RouteEventKind::Info, 1), event(RouteEventKind::RouteChange, 2),
                event(RouteEventKind::HostDown, 3)};
    EXPECT_EQ(route_log_summary(s), "12 hops, 1 change");
    s.events.push_back(event(RouteEventKind::RouteChange, 4));
    EXPECT_EQ(route_log_summary(s), "12 hops, 2 changes");
}

TEST(RouteLogTexts, EntriesNewestFirstInTheirKindColours) {
    TraceState s;
    s.events = {event(RouteEventKind::Info, 10), event(RouteEventKind::RouteChange, 20, "table"),
                event(RouteEventKind::HostDown, 30), event(RouteEventKind::HostUp, 40)};
    const auto entries = route_log_entries(s, 0);
    ASSERT_EQ(entries.size(), 4u);
    const std::int64_t times[] = {40, 30, 20, 10};
    const Color32 colours[] = {rgb(124, 194, 90), rgb(255, 59, 59), rgb(245, 197, 66), rgb(255, 90, 15)};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].time_ms, times[i]);
        EXPECT_EQ(entries[i].color, colours[i]);
        EXPECT_EQ(entries[i].text, "event at " + std::to_string(times[i]));
    }
    ASSERT_NE(entries[2].detail, nullptr);
    EXPECT_EQ(*entries[2].detail, "table");
    EXPECT_EQ(entries[0].detail, nullptr);
}

TEST(RouteLogTexts, NoChangeRowRules) {
    const std::int64_t checked = 1'700'000'000'000;
    struct Case {
        const char* what;
        std::uint64_t secs;
        std::int64_t last_trace;
        std::optional<std::int64_t> change_at;
        bool row;
    };
    const Case cases[] = {
        {"quiet check", 30, checked, std::nullopt, true},
        {"checks off (or a recording)", 0, checked, std::nullopt, false},
        {"no check yet", 30, 0, std::nullopt, false},
        {"check at 1000 ms, no change", 30, 1000, std::nullopt, false},
        {"check at 1001 ms, no change", 30, 1001, std::nullopt, true},
        {"the check made the change", 30, checked, checked - 1000, false},
        {"change well before the check", 30, checked, checked - 1001, true},
        {"change stamped after the check", 30, checked, checked + 50, false},
        {"change at the dawn of time", 30, checked, std::numeric_limits<std::int64_t>::min(), true},
    };
    for (const Case& c : cases) {
        TraceState s;
        s.last_trace_ms = c.last_trace;
        s.events = {event(RouteEventKind::Info, 5)};
        if (c.change_at) s.events.push_back(event(RouteEventKind::RouteChange, *c.change_at));
        const auto entries = route_log_entries(s, c.secs);
        const bool row = !entries.empty() && entries[0].text == "Route check, no change";
        EXPECT_EQ(row, c.row) << c.what;
        if (row) {
            EXPECT_EQ(entries[0].time_ms, c.last_trace);
            EXPECT_EQ(entries[0].color, rgb(74, 74, 74));
            EXPECT_EQ(entries[0].detail, nullptr);
            EXPECT_EQ(entries.size(), s.events.size() + 1);
        }
    }
    // Only the newest route change counts.
    TraceState s;
    s.last_trace_ms = checked;
    s.events = {event(RouteEventKind::RouteChange, 1), event(RouteEventKind::RouteChange, checked - 10)};
    EXPECT_EQ(route_log_entries(s, 30).size(), 2u);
}

TEST(RouteLogTexts, ComparisonLines) {
    const std::string detail =
        "Hop  Before      After\n"
        "1    10.0.0.1    10.0.0.1\n"
        "2    10.0.0.2    10.0.0.9  <\n"
        "3    *           10.0.0.3  <";
    const auto lines = route_log_comparison_lines(detail);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "Hop  Before      After");
    EXPECT_EQ(lines[0].color, rgb(110, 110, 110));
    EXPECT_EQ(lines[1].text, "1    10.0.0.1    10.0.0.1");
    EXPECT_EQ(lines[1].color, rgb(200, 200, 200));
    EXPECT_EQ(lines[2].text, "2    10.0.0.2    10.0.0.9");
    EXPECT_EQ(lines[2].color, rgb(255, 106, 38));
    EXPECT_EQ(lines[3].text, "3    *           10.0.0.3");
    EXPECT_EQ(lines[3].color, rgb(255, 106, 38));

    // Every "\n" splits, a trailing one included; a marked header stays grey.
    const auto odd = route_log_comparison_lines("head <<\nrow \t<<<\n");
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd[0].text, "head");
    EXPECT_EQ(odd[0].color, rgb(110, 110, 110));
    EXPECT_EQ(odd[1].text, "row");
    EXPECT_EQ(odd[1].color, rgb(255, 106, 38));
    EXPECT_EQ(odd[2].text, "");
    EXPECT_EQ(odd[2].color, rgb(200, 200, 200));
}

// A table too long for the window keeps its header and every changed row;
// unchanged rows give way, farthest from a change first, each run as one
// counted line.
TEST(RouteLogTexts, ComparisonGivesWayToFitTheWindow) {
    const auto table = [](std::initializer_list<int> changed) {
        std::string t = "Hop  Before     After";
        for (int hop = 1; hop <= 30; ++hop) {
            t += "\n" + std::to_string(hop) + "  10.0.0." + std::to_string(hop);
            if (std::find(changed.begin(), changed.end(), hop) != changed.end()) t += "  10.0.9.9  <";
        }
        return route_log_comparison_lines(t);
    };
    const auto texts = [](const std::vector<RouteLogComparisonLine>& lines) {
        std::vector<std::string> out;
        for (const auto& l : lines) out.push_back(l.text);
        return out;
    };
    using Texts = std::vector<std::string>;

    // The path's end changed: the hops before it give way, those next to the
    // change last.
    const auto end = table({29, 30});
    EXPECT_EQ(texts(fit_route_comparison(end, 31)), texts(end));  // it fits as it is
    const auto fitted = fit_route_comparison(end, 6);
    EXPECT_EQ(texts(fitted), (Texts{"Hop  Before     After", "\u2026 26 unchanged hops", "27  10.0.0.27",
                                    "28  10.0.0.28", "29  10.0.0.29  10.0.9.9", "30  10.0.0.30  10.0.9.9"}));
    EXPECT_EQ(fitted[1].color, rgb(110, 110, 110));
    EXPECT_EQ(fitted[4].color, rgb(255, 106, 38));

    // Changes apart: each run between and around them is one line.
    EXPECT_EQ(texts(fit_route_comparison(table({10, 20}), 8)),
              (Texts{"Hop  Before     After", "\u2026 9 unchanged hops", "10  10.0.0.10  10.0.9.9",
                     "\u2026 9 unchanged hops", "20  10.0.0.20  10.0.9.9", "\u2026 10 unchanged hops"}));

    // Every hop changed and no room for them all: the last give way, counted.
    std::string all = "Hop";
    for (int hop = 1; hop <= 30; ++hop) all += "\n" + std::to_string(hop) + " x <";
    const auto every = fit_route_comparison(route_log_comparison_lines(all), 10);
    ASSERT_EQ(every.size(), 10u);
    EXPECT_EQ(every[8].text, "8 x");
    EXPECT_EQ(every[9].text, "\u2026 22 more hops");
}

// --- Layout and scrolling ----------------------------------------------------

TEST(RouteLogLayout, BlocksStackAndTheLogKeepsItsMinimum) {
    const RouteLogBlocks tall = route_log_blocks({24, 116, 364, 800});
    EXPECT_EQ(tall.card, (Rect{24, 116, 364, 312}));
    EXPECT_EQ(tall.tiles, (Rect{24, 324, 364, 448}));
    EXPECT_EQ(tall.log, (Rect{24, 460, 364, 800}));
    const RouteLogBlocks short_panel = route_log_blocks({24, 116, 364, 400});
    EXPECT_EQ(short_panel.log.height(), 120);
}

TEST(RouteLogLayout, ScrollOffsetMovesOnlyWhenHoveredAndLonger) {
    struct Case {
        const char* what;
        float stored, wheel;
        bool hovered;
        float content, view, expect;
    };
    const Case cases[] = {
        {"fits: wheel ignored", 0, -40, true, 100, 200, 0},
        {"fits: stale offset dropped", 50, 0, false, 100, 200, 0},
        {"not hovered: wheel ignored", 10, -40, false, 500, 200, 10},
        {"hovered: wheel down scrolls down", 10, -40, true, 500, 200, 50},
        {"hovered: wheel up scrolls up", 50, 40, true, 500, 200, 10},
        {"never above the top", 10, 400, true, 500, 200, 0},
        {"never past the end", 290, -400, true, 500, 200, 300},
        {"content shrank", 290, 0, false, 250, 200, 50},
        {"negative view height", 0, -40, true, 100, -20, 40},
        {"corrupt stored value", std::numeric_limits<float>::quiet_NaN(), 0, true, 500, 200, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(route_log_scroll_offset(c.stored, c.wheel, c.hovered, c.content, c.view), c.expect) << c.what;
}

TEST(RouteLogLayout, ScrollBarThumb) {
    const Rect list{0, 100, 300, 300};  // 200 high
    EXPECT_FALSE(route_log_scroll_bar(list, 200, 0).visible);

    RouteLogScrollBar bar = route_log_scroll_bar(list, 400, 0);
    ASSERT_TRUE(bar.visible);
    EXPECT_EQ(bar.track, (Rect{297, 100, 300, 300}));
    EXPECT_EQ(bar.thumb, (Rect{297, 100, 300, 200}));
    bar = route_log_scroll_bar(list, 400, 200);  // at the end
    EXPECT_EQ(bar.thumb.top, 200);
    EXPECT_EQ(bar.thumb.bottom, 300);

    bar = route_log_scroll_bar(list, 100000, 0);  // very long: the 24-point minimum
    EXPECT_EQ(bar.thumb.height(), 24);
    // A list lower than the minimum thumb keeps the thumb inside its track.
    bar = route_log_scroll_bar({0, 100, 300, 110}, 500, 490);
    EXPECT_EQ(bar.thumb.top, 100);
    EXPECT_EQ(bar.thumb.bottom, 110);
}

// --- Drawing -----------------------------------------------------------------

constexpr Rect kContent{24, 16, 364, 760};  // log block: 24,364 .. 364,760

TraceState long_log(std::size_t n) {
    TraceState s;
    s.hops.resize(4);
    for (std::size_t i = 0; i < n; ++i)
        s.events.push_back(event(RouteEventKind::RouteChange, 1000 * static_cast<std::int64_t>(i + 1),
                                 "Hop Before After\n1 a b  <"));
    return s;
}

float stored_scroll(const TraceState& s, ImVec2 mouse, float wheel) {
    float value = -1.0f;
    ImGui::GetIO().MouseWheel = wheel;
    test::run_frame(mouse, false, [&] {
        draw_destination_card_and_route_log(s, 30, kContent);
        value = ui_memory().get<float>(ImGui::GetID("route_log_scroll"), -1.0f);
    });
    return value;
}

void forget_scroll() {
    test::run_frame({0, 0}, false, [] { ui_memory().erase(ImGui::GetID("route_log_scroll")); });
}

TEST(RouteLogDraw, WheelScrollsALongLogOnlyWhileHovered) {
    forget_scroll();
    const TraceState s = long_log(40);
    const ImVec2 over_log(200, 600), over_card(200, 100);
    EXPECT_EQ(stored_scroll(s, over_log, 0), 0.0f);
    EXPECT_EQ(stored_scroll(s, over_card, -1), 0.0f);
    EXPECT_EQ(stored_scroll(s, over_log, -1), kScrollWheelStep);
    const float end = stored_scroll(s, over_log, -1000);
    EXPECT_GT(end, kScrollWheelStep);
    EXPECT_EQ(stored_scroll(s, over_log, -1), end);  // stops at the end
    EXPECT_EQ(stored_scroll(s, over_log, 1000), 0.0f);

    // A short log ignores the wheel.
    forget_scroll();
    EXPECT_EQ(stored_scroll(long_log(1), over_log, -3), 0.0f);
    forget_scroll();
}

TEST(RouteLogDraw, EmptyLogLeavesTheScrollStateAlone) {
    forget_scroll();
    EXPECT_EQ(stored_scroll(TraceState{}, ImVec2(200, 600), -1), -1.0f);
}

std::set<ImU32> vertex_colours(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

TEST(RouteLogDraw, RouteChangeRowHighlightsAndShowsItsComparison) {
    forget_scroll();
    const TraceState s = long_log(1);
    auto frame = [&](ImVec2 mouse) {
        return test::run_frame(mouse, false, [&] { draw_destination_card_and_route_log(s, 0, kContent); });
    };
    const ImU32 highlight = to_imu32(rgb(30, 30, 30));
    // Row 0 starts at y = 364 + 44 + 6 = 414.
    const ImDrawData* away = frame({200, 700});
    EXPECT_TRUE(test::indices_in_range(away));
    EXPECT_FALSE(vertex_colours(away).count(highlight));
    const int lists_without_tooltip = away->CmdListsCount;

    const ImDrawData* over = frame({200, 420});
    EXPECT_TRUE(vertex_colours(over).count(highlight));
    // Once the pointer has rested, the comparison opens in its own window.
    for (int i = 0; i < 40; ++i) over = frame({200, 420});
    EXPECT_GT(over->CmdListsCount, lists_without_tooltip);
    EXPECT_TRUE(vertex_colours(over).count(to_imu32(rgb(255, 106, 38))));
    frame({200, 700});
}

// Long figures stay inside what holds them: the Delivered tile's counts are
// cut at its outline, and the card's pulse line is drawn around its detail
// line, never through the text.
TEST(RouteLogDraw, CardAndTileTextsStayClearOfTheirNeighbours) {
    TraceState s = with_destination(hop(17680, 17654, 3.0));
    s.hops.back().rtt_sum = 17654ull * 40;
    s.hops.back().best = 12;
    s.hops.back().worst = 180;
    s.hops.back().name = "edge-router.example.net";
    s.target_addr = Ipv4Addr(10, 77, 100, 1);
    ItemLog log;
    set_item_log(&log);
    const ImDrawData* d = test::run_frame({0, 0}, false, [&] { draw_destination_card_and_route_log(s, 30, kContent); });
    set_item_log(nullptr);

    const RouteLogBlocks b = route_log_blocks(kContent);
    const float tile_right = b.tiles.left + (b.tiles.width() - 12.0f) / 2.0f;
    const LoggedText* lost = nullptr;
    const LoggedText* detail = nullptr;
    for (const LoggedText& t : log.texts) {
        if (t.text == "26 of 17680 lost") lost = &t;
        if (t.text.starts_with("10.77.100.1")) detail = &t;
    }
    ASSERT_TRUE(lost && detail);
    EXPECT_GT(lost->rect.right, tile_right);  // it would spill...
    EXPECT_LE(lost->visible.right, tile_right - 1.0f);  // ...and is cut inside the outline

    const ImU32 pulse = to_imu32(color_with_alpha(255, 255, 255, 56));
    int pulse_commands = 0;
    for (int l = 0; l < d->CmdListsCount; ++l) {
        const ImDrawList* list = d->CmdLists[l];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            bool has_pulse = false;
            for (unsigned i = 0; i < cmd.ElemCount && !has_pulse; ++i)
                has_pulse = list->VtxBuffer[static_cast<int>(list->IdxBuffer[static_cast<int>(cmd.IdxOffset + i)] +
                                                             cmd.VtxOffset)]
                                .col == pulse;
            if (!has_pulse) continue;
            ++pulse_commands;
            const Rect clip{cmd.ClipRect.x, cmd.ClipRect.y, cmd.ClipRect.z, cmd.ClipRect.w};
            const bool clear = clip.right <= detail->rect.left || clip.left >= detail->rect.right ||
                               clip.bottom <= detail->rect.top;
            EXPECT_TRUE(clear) << clip.left << "," << clip.top << " " << clip.right << "," << clip.bottom;
        }
    }
    EXPECT_GE(pulse_commands, 2);
}

TEST(RouteLogDraw, PanelsOfAnySizeDrawSoundGeometry) {
    TraceState s = long_log(30);
    s.hops.back() = hop(10, 7, 20.0);
    s.hops.back().rtt_sum = 140;
    s.target_addr = Ipv4Addr(10, 0, 0, 1);
    for (const Rect content : {kContent, Rect{24, 16, 364, 30}, Rect{24, 16, 30, 900}}) {
        const ImDrawData* d =
            test::run_frame({200, 600}, false, [&] { draw_destination_card_and_route_log(s, 30, content); });
        EXPECT_TRUE(test::indices_in_range(d));
    }
    forget_scroll();
}

}  // namespace
}  // namespace corvane
