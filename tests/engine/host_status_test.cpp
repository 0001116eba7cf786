#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "engine/clock_text.h"
#include "engine/host_status.h"
#include "support/test_support.h"

namespace corvane {
namespace {

constexpr std::int64_t kStart = 1709647509000;  // 2024-03-05 14:05:09 UTC
constexpr std::int64_t kStep = 1000;

// A host whose probes went out once a second from kStart. Counters follow the
// samples unless a test sets them itself.
struct Host {
    HopStats stats;
    std::int64_t next = kStart;

    Host& ok(std::uint32_t rtt, int times = 1) {
        for (int i = 0; i < times; ++i) push(rtt);
        return *this;
    }
    Host& lost(int times = 1) {
        for (int i = 0; i < times; ++i) push(std::nullopt);
        return *this;
    }
    std::int64_t time_of(std::size_t i) const { return kStart + static_cast<std::int64_t>(i) * kStep; }

private:
    void push(std::optional<std::uint32_t> rtt) {
        stats.samples.push_back(rtt ? static_cast<Sample>(*rtt) : kLostSample);
        stats.sample_times.push_back(next);
        next += kStep;
        ++stats.sent;
        if (rtt) {
            ++stats.received;
            stats.rtt_sum += *rtt;
        }
    }
};

class HostStatusTest : public ::testing::Test {
protected:
    void SetUp() override { set_clock_utc(true); }
    void TearDown() override { set_clock_utc(false); }
    // The kind alone, as counted for the header and the tab strip, always
    // agrees with the full rating.
    static HostStatus rate(const Host& h, std::int64_t now) {
        HostStatus s = classify_watch_host_status(h.stats, now);
        EXPECT_EQ(watch_host_status_kind(h.stats), s.kind) << s.text;
        return s;
    }
};

TEST_F(HostStatusTest, ErrorAndWaitingComeFirst) {
    Host h;
    h.lost(5);
    h.stats.error = "Name does not resolve";
    const HostStatus s = rate(h, h.next);
    EXPECT_EQ(s.kind, HostStatusKind::Error);
    EXPECT_EQ(s.text, "Name does not resolve");

    Host fresh;
    EXPECT_EQ(rate(fresh, kStart).kind, HostStatusKind::Waiting);
    EXPECT_EQ(rate(fresh, kStart).text, "Waiting");

    // Sent but nothing in the rings yet: up for no time at all.
    fresh.stats.sent = 1;
    EXPECT_EQ(rate(fresh, kStart + 5000).kind, HostStatusKind::Up);
    EXPECT_EQ(rate(fresh, kStart + 5000).text, "Up 0s");
}

TEST_F(HostStatusTest, DownAfterThreeTrailingLosses) {
    Host two;
    two.ok(10, 100).lost(2);
    EXPECT_NE(rate(two, two.next).kind, HostStatusKind::Down);

    Host three;
    three.ok(10, 100).lost(3);
    // The run began with sample 100, at kStart + 100 s = 14:06:49.
    const HostStatus s = rate(three, three.time_of(100) + 75000);
    EXPECT_EQ(s.kind, HostStatusKind::Down);
    EXPECT_EQ(s.text, "Down 1m 15s since 14:06:49 UTC");

    // Lost from the very first probe.
    Host never;
    never.lost(3);
    EXPECT_EQ(rate(never, kStart + 2500).text, "Down 2s since 14:05:09 UTC");

    // Down although earlier runs were longer; only the newest run counts.
    Host again;
    again.lost(10).ok(5).lost(4);
    EXPECT_EQ(rate(again, again.time_of(11)).text, "Down 0s since 14:05:20 UTC");

    // A clock behind the run's start reads as no time, not a negative one.
    EXPECT_EQ(rate(three, kStart).text, "Down 0s since 14:06:49 UTC");
}

TEST_F(HostStatusTest, LossOverNewestSixtySamples) {
    // Oldest first: "x" a loss, "o" a 10 ms answer.
    const std::string ok58(58, 'o');
    struct Case {
        std::string pattern;
        HostStatusKind kind;
        const char* text;  // checked for Degraded only
    };
    const Case cases[] = {
        {"x" + ok58 + "o", HostStatusKind::Up, ""},                                   // 1 of 60: 1.7 %
        {"x" + ok58 + "x", HostStatusKind::Degraded, "3% loss last minute"},          // 2 of 60: 3.3 %
        {"xo" + std::string(17, 'o') + "x", HostStatusKind::Degraded, "10% loss last minute"},  // 2 of 20
        {"x" + std::string(49, 'o'), HostStatusKind::Up, ""},                         // exactly 2.0 %: not above
        {"xx", HostStatusKind::Degraded, "100% loss last minute"},                    // two lost, not Down
        {"xxoxxo", HostStatusKind::Degraded, "67% loss last minute"},
    };
    for (const Case& c : cases) {
        Host h;
        for (char ch : c.pattern) ch == 'x' ? h.lost() : h.ok(10);
        const HostStatus s = rate(h, h.next);
        EXPECT_EQ(s.kind, c.kind) << c.pattern;
        if (c.kind == HostStatusKind::Degraded) {
            EXPECT_EQ(s.text, c.text) << c.pattern;
        }
    }

    // Losses that have left the 60-sample window no longer count.
    Host old;
    old.lost().ok(10).lost().ok(10).lost().ok(10, 60);
    EXPECT_EQ(rate(old, old.next).kind, HostStatusKind::Up);
    Host inside;
    inside.lost().ok(10).lost().ok(10, 57);
    EXPECT_EQ(rate(inside, inside.next).kind, HostStatusKind::Degraded);
}

TEST_F(HostStatusTest, SlowNeedsTwentyAnswersAndBothMargins) {
    // The window holds 60 answers of `recent`; the overall mean comes from the
    // counters, as if older answers had been faster.
    struct Case {
        std::uint32_t received;
        std::uint64_t overall;
        std::uint32_t recent;
        HostStatusKind kind;
    };
    const Case cases[] = {
        {19, 20, 200, HostStatusKind::Up},        // too few answers
        {20, 20, 31, HostStatusKind::Degraded},   // 31 > 30 and 11 > 10
        {20, 10, 16, HostStatusKind::Up},         // not 10 ms above
        {20, 10, 20, HostStatusKind::Up},         // exactly 10 ms above
        {20, 10, 21, HostStatusKind::Degraded},
        {20, 30, 45, HostStatusKind::Up},         // exactly 1.5 times
        {20, 30, 46, HostStatusKind::Degraded},
        {20, 0, 11, HostStatusKind::Degraded},    // overall 0: any recent above 10
    };
    for (const Case& c : cases) {
        Host h;
        h.ok(c.recent, 60);
        h.stats.received = c.received;
        h.stats.rtt_sum = c.overall * c.received;
        const HostStatus s = rate(h, h.next);
        EXPECT_EQ(s.kind, c.kind) << c.received << " " << c.overall << " " << c.recent;
        if (c.kind == HostStatusKind::Degraded) {
            EXPECT_EQ(s.text, "Slow, " + std::to_string(c.recent) + " ms last minute");
        }
    }

    // Only answered samples make the recent mean: lost ones are not zeros.
    Host mixed;
    mixed.ok(40, 30).lost().ok(40, 29);
    mixed.stats.received = 100;
    mixed.stats.rtt_sum = 100 * 20;
    EXPECT_EQ(rate(mixed, mixed.next).text, "Slow, 40 ms last minute");
}

TEST_F(HostStatusTest, UpSinceLastAnswerAfterThreeLosses) {
    Host steady;
    steady.ok(5, 10);
    EXPECT_EQ(rate(steady, kStart + 90500).text, "Up 1m 30s");

    // Each history below ends with a clean minute, so the losses have left
    // the loss window and only the up-since walk sees them.
    Host two_lost;  // a run of two does not restart the count
    two_lost.ok(5, 3).lost(2).ok(5, 60);
    EXPECT_EQ(rate(two_lost, kStart + 600000).text, "Up 10m 00s");

    Host outages;  // the newest run of three or more decides
    outages.ok(5).lost(3).ok(5, 2).lost(4).ok(5, 2).lost(2).ok(5, 60);
    // Sample 10 is the first answer after the four losses.
    EXPECT_EQ(rate(outages, outages.time_of(10) + 3600000).text, "Up 1h 00m");

    Host recovering;  // the answer right after the run is the start
    recovering.lost(3).ok(5, 60);
    EXPECT_EQ(rate(recovering, recovering.time_of(3) + 125000).text, "Up 2m 05s");
}

TEST_F(HostStatusTest, UpDurationStopsAtOldestKeptSample) {
    Host h;
    h.ok(5, static_cast<int>(kSampleCap) + 400);
    ASSERT_EQ(h.stats.samples.size(), kSampleCap);
    // The oldest kept sample is number 400.
    EXPECT_EQ(rate(h, h.time_of(400) + 3600000).text, "Up 1h 00m");
    EXPECT_EQ(rate(h, h.time_of(400) + 7200000).text, "Up 2h 00m");
}

TEST_F(HostStatusTest, DownTimeFollowsLocalZone) {
    set_clock_utc(false);
    std::string text;
    {
        test::ScopedEnv tz("TZ", "IST-5:30");
        tzset();
        Host h;
        h.lost(3);
        text = rate(h, kStart + 1000).text;
    }
    tzset();
    EXPECT_EQ(text, "Down 1s since 7:35:09 PM");
}

}  // namespace
}  // namespace corvane
