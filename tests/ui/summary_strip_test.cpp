#include "ui/views/summary_strip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/clock_text.h"
#include "headless_imgui.h"
#include "ui/latency_text.h"
#include "ui/palette.h"
#include "ui/views/summary_strip_text.h"

namespace corvane {
namespace {

const std::string kDot = "\u00b7";
constexpr Color32 kWhite = rgb(240, 240, 240);
constexpr Color32 kAmber = rgb(245, 197, 66);
constexpr Color32 kRed = rgb(255, 59, 59);
constexpr Color32 kOrange = rgb(255, 90, 15);

HopStats dest(std::uint32_t sent, std::uint32_t received) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    return h;
}

RouteEvent event(RouteEventKind kind, std::int64_t t = 1000) { return {"e", std::nullopt, t, kind}; }

// Restores the process-wide clock flag after a test that sets it.
struct ClockUtc {
    explicit ClockUtc(bool utc) : old_(clock_utc()) { set_clock_utc(utc); }
    ~ClockUtc() { set_clock_utc(old_); }
    bool old_;
};

TEST(SummaryStripTexts, UnresolvedTabShowsDotsAndTheStatus) {
    TraceState s;
    s.status = "Resolving";
    const SummaryTexts t = build_summary_texts(s, {}, 30);
    EXPECT_EQ(t.target, kDot);
    EXPECT_EQ(t.path, "Resolving");
    const auto& c = t.cards;
    EXPECT_EQ(c[0].title, "Latency");
    EXPECT_EQ(c[0].value, kDot);
    EXPECT_EQ(c[0].unit, "");
    EXPECT_EQ(c[0].sub, "waiting for replies");
    EXPECT_EQ(c[0].value_color, kOrange);
    for (int i : {1, 2}) {
        EXPECT_EQ(c[i].value, kDot) << i;
        EXPECT_EQ(c[i].unit, "") << i;
        EXPECT_EQ(c[i].sub, "no data yet") << i;
        EXPECT_EQ(c[i].value_color, kWhite) << i;
    }
    EXPECT_EQ(c[3].value, "Stable");
    EXPECT_EQ(c[3].sub, "checks every 30 s");
    EXPECT_EQ(c[4].value, "None");
    EXPECT_EQ(c[4].value_font.family, FontFamily::Medium);
    EXPECT_EQ(c[4].sub, "no hop adds more than 2 ms");
    EXPECT_FALSE(c[4].note);
}

TEST(SummaryStripTexts, AnsweringDestination) {
    TraceState s;
    s.target_addr = Ipv4Addr(192, 0, 2, 7);
    HopStats h = dest(10, 10);
    h.rtt_sum = 125;  // 12.5 -> "12" (half to even, as the formatter rounds)
    h.last = 14;
    h.best = 9;
    h.worst = 31;
    h.jitter = 2.345;
    s.hops = {dest(10, 10), h};
    const SummaryTexts t = build_summary_texts(s, {}, 30);
    EXPECT_EQ(t.target, "192.0.2.7");
    EXPECT_EQ(t.cards[0].value, "12");
    EXPECT_EQ(t.cards[0].unit, "ms");
    EXPECT_EQ(t.cards[0].sub, "last 14 \u00b7 best 9");
    EXPECT_EQ(t.cards[1].value, "0.0");
    EXPECT_EQ(t.cards[1].unit, "%");
    EXPECT_EQ(t.cards[1].value_color, kWhite);
    EXPECT_EQ(t.cards[1].sub, "0 of 10 lost");
    EXPECT_EQ(t.cards[2].value, "2.3");
    EXPECT_EQ(t.cards[2].unit, "ms");
    EXPECT_EQ(t.cards[2].sub, "worst 31 ms");
}

TEST(SummaryStripTexts, NeverAnsweringDestination) {
    TraceState s;
    s.hops = {dest(5, 0)};
    const SummaryTexts t = build_summary_texts(s, {}, 30);
    EXPECT_EQ(t.cards[0].value, kDot);
    EXPECT_EQ(t.cards[0].sub, "waiting for replies");
    EXPECT_EQ(t.cards[2].value, kDot);
    EXPECT_EQ(t.cards[1].value, "100.0");
    EXPECT_EQ(t.cards[1].unit, "%");
    EXPECT_EQ(t.cards[1].value_color, kRed);
    EXPECT_EQ(t.cards[1].sub, "5 of 5 lost");
}

TEST(SummaryStripTexts, LossColourThresholds) {
    struct Case {
        std::uint32_t sent, received;
        const char* value;
        Color32 colour;
        const char* sub;
    };
    for (const Case& c : {Case{1000, 980, "2.0", kRed, "20 of 1000 lost"}, Case{1000, 981, "1.9", kAmber, "19 of 1000 lost"},
                          Case{1000, 1000, "0.0", kWhite, "0 of 1000 lost"}, Case{1000, 999, "0.1", kAmber, "1 of 1000 lost"},
                          // counters caught mid-update: no loss, not four billion lost
                          Case{3, 4, "0.0", kWhite, "0 of 3 lost"}}) {
        TraceState s;
        s.hops = {dest(c.sent, c.received)};
        const SummaryCard loss = build_summary_texts(s, {}, 30).cards[1];
        EXPECT_EQ(loss.value, c.value);
        EXPECT_EQ(loss.value_color, c.colour) << c.value;
        EXPECT_EQ(loss.sub, c.sub);
        EXPECT_EQ(loss.unit, "%");
    }
    EXPECT_EQ(loss_percent_color(0.0), kWhite);
    EXPECT_EQ(loss_percent_color(1.999), kAmber);
    EXPECT_EQ(loss_percent_color(2.0), kRed);
}

TEST(SummaryStripTexts, RouteCardCountsEveryRouteChange) {
    TraceState s;
    s.events = {event(RouteEventKind::Info), event(RouteEventKind::RouteChange), event(RouteEventKind::HostDown)};
    SummaryCard route = build_summary_texts(s, {}, 30).cards[3];
    EXPECT_EQ(route.value, "1 change");
    EXPECT_EQ(route.value_color, kAmber);
    s.events.push_back(event(RouteEventKind::RouteChange));
    route = build_summary_texts(s, {}, 30).cards[3];
    EXPECT_EQ(route.value, "2 changes");
    s.events.clear();
    route = build_summary_texts(s, {}, 30).cards[3];
    EXPECT_EQ(route.value, "Stable");
    EXPECT_EQ(route.value_color, kWhite);
}

TEST(SummaryStripTexts, RouteSubTextRules) {
    const std::int64_t checked = 1'700'000'000'000;
    struct Case {
        const char* status;
        std::int64_t last_trace;
        std::uint64_t secs;
        std::string sub;
    };
    const Case cases[] = {
        {"Playback", checked, 0, "from the recording"},
        {"Playback", 0, 30, "from the recording"},
        {"Tracing", checked, 0, "route checks off"},  // earlier checks ran, checks now off
        {"Tracing", checked, 30, "checked " + format_clock_time(checked, true)},
        {"Tracing", 0, 30, "checks every 30 s"},
        {"Tracing", 0, 60, "checks every 1 min"},
        {"Tracing", 0, 900, "checks every 15 min"},
        {"Tracing", 0, 45, "checks every ?"},
    };
    for (const Case& c : cases) {
        TraceState s;
        s.status = c.status;
        s.last_trace_ms = c.last_trace;
        EXPECT_EQ(build_summary_texts(s, {}, c.secs).cards[3].sub, c.sub) << c.status << " " << c.secs;
    }
}

TEST(SummaryStripTexts, PathLineJoinsWhatIsKnown) {
    ClockUtc utc(true);
    TraceState s;
    s.status = "Tracing";
    s.hops.resize(12);
    s.hops.back().name = "edge.example";
    // 2023-11-14 14:03:22 UTC; the first Info event is the one shown.
    s.events = {event(RouteEventKind::RouteChange, 5), event(RouteEventKind::Info, 1'699'970'602'000),
                event(RouteEventKind::Info, 1'699'970'700'000)};
    EXPECT_EQ(build_summary_texts(s, {}, 30).path, "edge.example  \u00b7  12 hops  \u00b7  path found 14:03:22 UTC");

    s.hops.back().name = "";  // looked up, no name
    s.events.clear();
    EXPECT_EQ(build_summary_texts(s, {}, 30).path, "12 hops");
    s.hops.resize(1);
    EXPECT_EQ(build_summary_texts(s, {}, 30).path, "1 hops");
}

TEST(SummaryStripTexts, MostAddedLatencyCard) {
    TraceState s;
    s.hops.resize(3);
    HopVerdicts v;
    v.added_latency = {std::nullopt, 12.4, std::nullopt};
    v.most_added = 1;
    struct Case {
        std::optional<Ipv4Addr> addr;
        std::optional<std::string> name;
        std::string sub;
    };
    const Case cases[] = {
        {Ipv4Addr(10, 0, 0, 2), std::string("core.example"), "10.0.0.2  core.example"},
        {Ipv4Addr(10, 0, 0, 2), std::string(), "10.0.0.2"},
        {Ipv4Addr(10, 0, 0, 2), std::nullopt, "10.0.0.2"},
        {std::nullopt, std::string("core.example"), ""},
    };
    for (const Case& c : cases) {
        s.hops[1].addr = c.addr;
        s.hops[1].name = c.name;
        const SummaryCard card = build_summary_texts(s, v, 30).cards[4];
        EXPECT_EQ(card.value, "Hop 2");
        EXPECT_EQ(card.value_font.family, FontFamily::MonoMedium);
        EXPECT_EQ(card.sub, c.sub);
        ASSERT_TRUE(card.note);
        EXPECT_EQ(card.note->text, "+12 ms");
        EXPECT_EQ(card.note->color, kOrange);
    }
    // An absent figure reads as 0; an index past either list names the hop
    // but reads nothing out of range.
    v.most_added = 2;
    EXPECT_EQ(build_summary_texts(s, v, 30).cards[4].note->text, "+0 ms");
    v.most_added = 7;
    const SummaryCard past = build_summary_texts(s, v, 30).cards[4];
    EXPECT_EQ(past.value, "Hop 8");
    EXPECT_EQ(past.sub, "");
    EXPECT_EQ(past.note->text, "+0 ms");
}

TEST(SummaryStripTexts, FixedFormatting) {
    EXPECT_EQ(format_decimals(0.5, 0), "0");  // half to even, as "+0 ms" for 0.5
    EXPECT_EQ(format_decimals(1.5, 0), "2");
    EXPECT_EQ(format_decimals(2.25, 1), "2.2");
    EXPECT_EQ(format_decimals(std::numeric_limits<double>::quiet_NaN(), 1), "0.0");
    EXPECT_EQ(format_decimals(std::numeric_limits<double>::infinity(), 0), "0");
}

TEST(SummaryStripLayout, TargetBlockAndCardsCentredOnTheRow) {
    struct Case {
        Rect row;
        float block_width;
    };
    // Block width is a fifth of the row, kept within 220..330.
    for (const Case& c : {Case{{24, 0, 1376, 104}, 270.4f}, Case{{24, 0, 524, 104}, 220.0f},
                          Case{{24, 50, 2024, 154}, 330.0f}}) {
        const SummaryRowLayout l = summary_row_layout(c.row);
        EXPECT_FLOAT_EQ(l.target_block.left, c.row.left);
        EXPECT_FLOAT_EQ(l.target_block.width(), c.block_width);
        EXPECT_FLOAT_EQ(l.target_block.top, c.row.top + 22);  // 60 high in a 104 row
        EXPECT_FLOAT_EQ(l.target_block.bottom, c.row.top + 82);
        EXPECT_FLOAT_EQ(l.card_top, c.row.top + 16);  // 72 high in a 104 row
    }
}

TEST(SummaryStripDraw, DrawsARowOfWellFormedGeometry) {
    TraceState s;
    s.target_addr = Ipv4Addr(198, 51, 100, 250);
    HopStats h = dest(20, 19);
    h.rtt_sum = 400;
    h.name = std::string(200, 'n');  // far wider than the block: cut, not spilled
    s.hops = {h};
    HopVerdicts v;
    v.most_added = 0;
    v.added_latency = {3.0};
    const ImDrawData* d = test::run_frame({0, 0}, false, [&] { draw_summary_cards(s, v, 30, {24, 0, 1376, 104}); });
    EXPECT_TRUE(test::indices_in_range(d));
    // The path line is clipped to the target block (left 24, 280 wide).
    bool clipped = false;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawCmd& cmd : d->CmdLists[l]->CmdBuffer)
            clipped |= std::abs(cmd.ClipRect.z - (24.0f + 0.2f * 1352.0f)) < 0.01f;
    EXPECT_TRUE(clipped);
}

}  // namespace
}  // namespace corvane
