#include "main/hop_verdicts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvane {
namespace {

constexpr HopClass kNone = HopClass::None;
constexpr HopClass kRate = HopClass::RateLimited;
constexpr HopClass kSilent = HopClass::NoIcmpReply;
constexpr HopClass kSlow = HopClass::SlowToAnswer;

// A hop with the given counts and a total round trip of `rtt_sum` ms.
HopStats hop(std::uint32_t sent, std::uint32_t received, std::uint64_t rtt_sum, bool addr = true) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    h.rtt_sum = rtt_sum;
    if (addr) h.addr = Ipv4Addr{};
    return h;
}

// A clean hop with `n` replies averaging `avg` ms.
HopStats clean(double avg, std::uint32_t n = 10) {
    return hop(n, n, static_cast<std::uint64_t>(std::llround(avg * n)));
}

std::vector<HopClass> classes_of(const std::vector<HopStats>& hops) {
    return compute_hop_verdicts(hops).classes;
}

TEST(HopVerdicts, EmptyRouteGivesEmptyResults) {
    const HopVerdicts v = compute_hop_verdicts({});
    EXPECT_TRUE(v.classes.empty());
    EXPECT_TRUE(v.added_latency.empty());
    EXPECT_FALSE(v.most_added.has_value());
}

TEST(HopVerdicts, SingleHopIsJudgedAsMeasured) {
    // Even a lossy, silent or slow destination keeps its figures.
    for (const HopStats& h : {clean(7.0), hop(100, 50, 500), hop(10, 0, 0, false)}) {
        const HopVerdicts v = compute_hop_verdicts({h});
        ASSERT_EQ(v.classes, std::vector<HopClass>{kNone});
        if (h.received > 0) {
            EXPECT_DOUBLE_EQ(*v.added_latency[0], static_cast<double>(h.rtt_sum) / h.received);
            EXPECT_EQ(v.most_added, std::optional<std::size_t>(0));
        } else {
            EXPECT_FALSE(v.added_latency[0].has_value());
            EXPECT_FALSE(v.most_added.has_value());
        }
    }
    // Below 2 ms a hop is no jump worth naming.
    EXPECT_FALSE(compute_hop_verdicts({hop(10, 10, 15)}).most_added.has_value());
}

TEST(HopVerdicts, SilentHops) {
    struct Case {
        const char* what;
        bool addr_known;
        bool destination_answers;
        HopClass expected;
    };
    const Case cases[] = {
        {"no address, destination silent", false, false, kSilent},
        {"no address, destination answers", false, true, kSilent},
        {"address known, destination silent", true, false, kNone},
        {"address known, destination answers", true, true, kSilent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<HopStats> hops{hop(20, 0, 0, c.addr_known),
                                         c.destination_answers ? clean(12.0) : hop(20, 0, 0)};
        const HopVerdicts v = compute_hop_verdicts(hops);
        EXPECT_EQ(v.classes, (std::vector<HopClass>{c.expected, kNone}));
        EXPECT_FALSE(v.added_latency[0].has_value());
    }
}

TEST(HopVerdicts, RateLimitedNeedsEnoughProbesAndCleanLaterHops) {
    struct Case {
        const char* what;
        std::vector<HopStats> hops;
        HopClass first;
    };
    const Case cases[] = {
        {"9 sent, 50 % loss", {hop(9, 4, 40), clean(12.0)}, kNone},
        {"10 sent, 10 % loss", {hop(10, 9, 90), clean(12.0)}, kRate},
        {"exactly 5 % loss", {hop(20, 19, 190), clean(12.0)}, kRate},
        {"just under 5 % loss", {hop(21, 20, 200), clean(12.0)}, kNone},
        {"no later hop answers", {hop(10, 5, 50), hop(10, 0, 0)}, kNone},
        {"later hop 20 % loss", {hop(10, 5, 50), hop(10, 8, 96)}, kNone},
        {"later hop exactly 2 % loss", {hop(10, 5, 50), hop(50, 49, 588)}, kNone},
        {"later hop just under 2 % loss", {hop(10, 5, 50), hop(51, 50, 600)}, kRate},
        {"lossy later hop with 9 sent", {hop(10, 5, 50), hop(9, 1, 12), clean(12.0)}, kRate},
        // The path beyond must be seen to work: a later hop with too few
        // probes to tell is no such sign, however clean.
        {"only later hop has 9 sent, all answered", {hop(10, 5, 50), clean(12.0, 9)}, kNone},
        {"lossy hop between, too little to be rate limited", {hop(10, 5, 50), hop(50, 48, 576), clean(12.0)}, kNone},
        {"silent hop between", {hop(10, 5, 50), hop(10, 0, 0), clean(12.0)}, kRate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(classes_of(c.hops).front(), c.first);
    }
    // The destination itself is never rate limited.
    EXPECT_EQ(classes_of({clean(5.0), hop(100, 50, 600)}).back(), kNone);
}

TEST(HopVerdicts, RoutersRateLimitingInARow) {
    // Each router's own lost answers must not keep the one before it from its
    // verdict; loss that reaches a later hop still does.
    struct Case {
        const char* what;
        std::vector<HopStats> hops;
        std::vector<HopClass> classes;
    };
    const Case cases[] = {
        {"two, clean destination", {hop(30, 23, 230), hop(30, 23, 276), clean(12.0, 30)}, {kRate, kRate, kNone}},
        {"three, clean destination",
         {hop(30, 23, 230), hop(30, 20, 240), hop(30, 27, 324), clean(12.0, 30)},
         {kRate, kRate, kRate, kNone}},
        {"two, destination 3 % loss", {hop(30, 23, 230), hop(30, 23, 276), hop(100, 97, 1164)}, {kNone, kNone, kNone}},
        {"three, destination 3 % loss",
         {hop(30, 23, 230), hop(30, 20, 240), hop(30, 27, 324), hop(100, 97, 1164)},
         {kNone, kNone, kNone, kNone}},
        {"real loss from hop 1 on", {hop(30, 27, 270), hop(30, 18, 216), hop(30, 27, 324)}, {kNone, kNone, kNone}},
        // Just after a change of route the destination's record is new:
        // its loss is real but too young to veto, and nothing later is clean.
        {"real loss, destination's record new",
         {hop(300, 300, 300), hop(300, 240, 480), hop(300, 240, 720), hop(300, 240, 960), hop(6, 4, 48)},
         {kNone, kNone, kNone, kNone, kNone}},
        {"hop 2 lossy, too little to be rate limited",
         {hop(30, 23, 230), hop(100, 96, 1152), hop(30, 18, 216), clean(12.0, 30)},
         {kNone, kNone, kRate, kNone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(classes_of(c.hops), c.classes);
    }
}

TEST(HopVerdicts, SlowToAnswerNeedsStrictlyMoreThanTheMargin) {
    struct Case {
        const char* what;
        std::vector<HopStats> hops;
        HopClass first;
    };
    const Case cases[] = {
        // Below 20 ms the margin is 5 ms; above, a quarter of the later hop.
        {"5 ms over a 20 ms path", {clean(25.0), clean(20.0)}, kNone},
        {"5.1 ms over a 20 ms path", {hop(10, 10, 251), clean(20.0)}, kSlow},
        {"10 ms over a 40 ms path", {clean(50.0), clean(40.0)}, kNone},
        {"10.1 ms over a 40 ms path", {hop(10, 10, 501), clean(40.0)}, kSlow},
        {"only 9 replies", {clean(90.0, 9), clean(20.0)}, kNone},
        {"later hops silent", {clean(90.0), hop(10, 0, 0)}, kNone},
        {"lowest later hop counts", {clean(30.0), clean(50.0), clean(12.0)}, kSlow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(classes_of(c.hops).front(), c.first);
    }
}

TEST(HopVerdicts, RateLimitedHopIsNoYardstickForEarlierHops) {
    // Hop 1's fast but rate-limited answers must not make hop 0 look slow.
    const std::vector<HopStats> hops{clean(30.0), hop(10, 9, 45), clean(28.0)};
    EXPECT_EQ(classes_of(hops), (std::vector<HopClass>{kNone, kRate, kNone}));
}

TEST(HopVerdicts, AddedLatencyIsMeasuredFromTheLastUnclassifiedHop) {
    // 10, 30 and 12 ms: the middle hop answers slowly, capped by the path.
    const HopVerdicts v = compute_hop_verdicts({clean(10.0), clean(30.0), clean(12.0)});
    EXPECT_EQ(v.classes, (std::vector<HopClass>{kNone, kSlow, kNone}));
    ASSERT_EQ(v.added_latency.size(), 3u);
    EXPECT_DOUBLE_EQ(*v.added_latency[0], 10.0);
    EXPECT_DOUBLE_EQ(*v.added_latency[1], 2.0);
    EXPECT_DOUBLE_EQ(*v.added_latency[2], 2.0);
    EXPECT_EQ(v.most_added, std::optional<std::size_t>(0));

    // A silent hop has no value and leaves the base alone; a rate-limited
    // hop can go negative but never moves the base.
    const HopVerdicts w =
        compute_hop_verdicts({clean(10.0), hop(10, 0, 0), hop(10, 9, 36), clean(15.0)});
    EXPECT_EQ(w.classes, (std::vector<HopClass>{kNone, kSilent, kRate, kNone}));
    EXPECT_FALSE(w.added_latency[1].has_value());
    EXPECT_DOUBLE_EQ(*w.added_latency[2], -6.0);
    EXPECT_DOUBLE_EQ(*w.added_latency[3], 5.0);
    EXPECT_EQ(w.most_added, std::optional<std::size_t>(0));
}

TEST(HopVerdicts, BiggestJump) {
    struct Case {
        const char* what;
        std::vector<HopStats> hops;
        std::optional<std::size_t> most;
    };
    const Case cases[] = {
        {"equal jumps go to the later hop", {clean(4.0), clean(8.0)}, 1},
        {"larger later jump", {clean(3.0), clean(10.0)}, 1},
        {"larger earlier jump", {clean(9.0), clean(12.0)}, 0},
        {"every jump under 2 ms", {clean(1.0), clean(2.0), clean(3.0)}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(compute_hop_verdicts(c.hops).most_added, c.most);
    }
}

TEST(HopVerdicts, MoreRepliesThanProbesIsNoLoss) {
    // A torn snapshot could count a reply before its probe; that must not
    // wrap into a huge loss and a verdict.
    EXPECT_EQ(classes_of({hop(10, 11, 110), clean(12.0)}).front(), kNone);
}

}  // namespace
}  // namespace corvane
