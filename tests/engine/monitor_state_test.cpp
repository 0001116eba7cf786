#include "engine/monitor_state.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "engine/clock.h"
#include "engine/history_writer.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using test::TempDir;

using test::ScopedTimeZone;

struct Expect {
    std::uint32_t sent, received, last, best, worst;
    std::uint64_t rtt_sum;
    double jitter;
};

void expect_stats(const HopStats& h, const Expect& e) {
    EXPECT_EQ(h.sent, e.sent);
    EXPECT_EQ(h.received, e.received);
    if (e.received > 0) {
        EXPECT_EQ(h.last, e.last);
        EXPECT_EQ(h.best, e.best);
        EXPECT_EQ(h.worst, e.worst);
    }
    EXPECT_EQ(h.rtt_sum, e.rtt_sum);
    EXPECT_DOUBLE_EQ(h.jitter, e.jitter);
}

TEST(HopStatsRecord, UpdatesCountersStepByStep) {
    using R = std::optional<std::uint32_t>;
    struct Step {
        R rtt;
        Expect after;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"first reply sets best, worst and last, jitter stays 0",
         {{R(25), {1, 1, 25, 25, 25, 25, 0.0}}}},
        {"jitter smooths by a sixteenth",
         {{R(10), {1, 1, 10, 10, 10, 10, 0.0}},
          {R(30), {2, 2, 30, 10, 30, 40, 1.25}},
          {R(10), {3, 3, 10, 10, 30, 50, 2.421875}}}},
        {"a loss leaves the jitter base at the reply before it",
         {{R(10), {1, 1, 10, 10, 10, 10, 0.0}},
          {std::nullopt, {2, 1, 10, 10, 10, 10, 0.0}},
          {R(30), {3, 2, 30, 10, 30, 40, 1.25}}}},
        {"zero ms is a reply",
         {{R(0), {1, 1, 0, 0, 0, 0, 0.0}}, {R(16), {2, 2, 16, 0, 16, 16, 1.0}}}},
        {"losses before the first reply",
         {{std::nullopt, {1, 0, 0, 0, 0, 0, 0.0}}, {R(7), {2, 1, 7, 7, 7, 7, 0.0}}}},
        {"best and worst track the extremes",
         {{R(20), {1, 1, 20, 20, 20, 20, 0.0}},
          {R(5), {2, 2, 5, 5, 20, 25, 0.9375}},
          {R(40), {3, 3, 40, 5, 40, 65, 0.9375 + (35 - 0.9375) * 0.0625}}}},
        {"large round trips do not overflow the difference",
         {{R(4000000000u), {1, 1, 4000000000u, 4000000000u, 4000000000u, 4000000000u, 0.0}},
          {R(0), {2, 2, 0, 0, 4000000000u, 4000000000u, 250000000.0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HopStats hop;
        std::int64_t t = 1000;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            hop_stats_record(hop, c.steps[i].rtt, t);
            expect_stats(hop, c.steps[i].after);
            ASSERT_EQ(hop.samples.size(), i + 1);
            ASSERT_EQ(hop.sample_times.size(), i + 1);
            EXPECT_EQ(hop.sample_times.back(), t);
            if (c.steps[i].rtt) {
                EXPECT_FALSE(sample_lost(hop.samples.back()));
                EXPECT_EQ(hop.samples.back(), static_cast<float>(*c.steps[i].rtt));
            } else {
                EXPECT_TRUE(sample_lost(hop.samples.back()));
            }
            t += 1000;
        }
    }
}

TEST(HopStatsRecord, RingsStopAtTheCapWhileCountersKeepCounting) {
    HopStats hop;
    for (std::uint32_t i = 0; i < kSampleCap + 1; ++i) {
        hop_stats_record(hop, i % 10 == 9 ? std::nullopt : std::optional<std::uint32_t>(i), 1000 + i);
    }
    EXPECT_EQ(hop.sent, kSampleCap + 1);
    EXPECT_EQ(hop.samples.size(), kSampleCap);
    EXPECT_EQ(hop.sample_times.size(), kSampleCap);
    // The first sample (0 ms at t=1000) is gone; the rings stay paired.
    EXPECT_EQ(hop.samples.front(), 1.0f);
    EXPECT_EQ(hop.sample_times.front(), 1001);
    EXPECT_EQ(hop.sample_times.back(), 1000 + static_cast<std::int64_t>(kSampleCap));
    for (std::size_t i = 0; i < hop.samples.size(); ++i) {
        const std::int64_t n = hop.sample_times[i] - 1000;
        ASSERT_EQ(sample_lost(hop.samples[i]), n % 10 == 9) << i;
        if (!sample_lost(hop.samples[i])) {
            ASSERT_EQ(hop.samples[i], static_cast<float>(n)) << i;
        }
    }
    EXPECT_EQ(hop.best, 0u);  // counters cover the whole session, not the ring
}

TEST(MonitorState, CloneIsIndependentButSharesTheWriter) {
    TempDir tmp;
    auto settings = std::make_shared<SharedSettings>();
    settings->set_history_dir(tmp.path());
    TraceState src = new_monitor_state();
    HopStats hop;
    hop.name = "router.lan";
    hop.addr = Ipv4Addr(10, 0, 0, 1);
    hop_stats_record(hop, 12, 5000);
    src.hops.push_back(hop);
    src.events.push_back(RouteEvent{"Path discovered, 1 hops", std::nullopt, 5000, RouteEventKind::Info});
    src.dns_cache.edit()[Ipv4Addr(10, 0, 0, 1)] = "router.lan";
    src.dns_pending.edit().insert(Ipv4Addr(10, 0, 0, 2));
    src.history_error = "old";
    src.target_addr = Ipv4Addr(10, 0, 0, 9);
    src.writer = new_history_writer(settings, "t", "t", kRouteChangesLog);

    TraceState copy = clone_trace_state(src);
    EXPECT_EQ(copy.writer.get(), src.writer.get());

    hop_stats_record(src.hops[0], 99, 6000);
    src.hops[0].name = "changed";
    src.hops.push_back(HopStats{});
    src.events.clear();
    src.dns_cache.edit().clear();
    src.dns_pending.edit().clear();
    src.history_error = "new";
    src.status = "Stopped";

    ASSERT_EQ(copy.hops.size(), 1u);
    EXPECT_EQ(copy.hops[0].samples.size(), 1u);
    EXPECT_EQ(copy.hops[0].last, 12u);
    EXPECT_EQ(copy.hops[0].name, "router.lan");
    EXPECT_EQ(copy.events[0].text, "Path discovered, 1 hops");
    EXPECT_EQ(copy.dns_cache->size(), 1u);
    EXPECT_EQ(copy.dns_pending->size(), 1u);
    EXPECT_EQ(copy.history_error, "old");
    EXPECT_EQ(copy.status, "Starting");
    EXPECT_EQ(copy.target_addr, Ipv4Addr(10, 0, 0, 9));
}

TEST(PushRouteEvent, WithoutWriterOnlyAppends) {
    auto shared = make_shared_state(new_monitor_state());
    const std::int64_t before = now_unix_ms();
    push_route_event(shared, RouteEventKind::RouteChange, "Hop 3 changed", std::string("table"));
    push_route_event(shared, RouteEventKind::HostDown, "a is down");
    ASSERT_EQ(shared->state.events.size(), 2u);
    const RouteEvent& e = shared->state.events[0];
    EXPECT_EQ(e.text, "Hop 3 changed");
    EXPECT_EQ(e.detail, "table");
    EXPECT_EQ(e.kind, RouteEventKind::RouteChange);
    EXPECT_GE(e.time_ms, before);
    EXPECT_EQ(shared->state.events[1].kind, RouteEventKind::HostDown);
    EXPECT_FALSE(shared->state.events[1].detail);
    EXPECT_FALSE(shared->state.history_error);
}

TEST(PushRouteEvent, WithWriterLogsTheTextNotTheDetail) {
    TempDir tmp;
    auto settings = std::make_shared<SharedSettings>();
    settings->set_history_dir(tmp.path() / "hist");
    auto shared = make_shared_state(new_monitor_state());
    shared->state.writer = new_history_writer(settings, "example host", "example_host", kRouteChangesLog);

    push_route_event(shared, RouteEventKind::RouteChange, "Path length 5 -> 6", std::string("SECRET TABLE"));
    push_route_event(shared, RouteEventKind::Info, "Path discovered, 6 hops");

    ASSERT_EQ(shared->state.events.size(), 2u);
    const std::string log = test::read_file(tmp.path() / "hist" / kRouteChangesLog);
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  example host  Path length 5 -> 6\n)"
                          R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  example host  Path discovered, 6 hops\n)");
    EXPECT_TRUE(std::regex_match(log, line)) << log;
    // Events alone create no CSV file.
    EXPECT_FALSE(shared->state.history_file);
}

TEST(Clock, FormatsLocalTimeWithMilliseconds) {
    ScopedTimeZone utc("UTC");
    struct Case {
        std::int64_t ms;
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {1772358313207, "%Y-%m-%d %H:%M:%S%.3f", "2026-03-01 09:45:13.207"},
        {1772358312000, "%Y-%m-%d_%H%M%S", "2026-03-01_094512"},
        {1772358313005, "%H:%M:%S%.3f", "09:45:13.005"},
        {-1, "%Y-%m-%d %H:%M:%S%.3f", "1969-12-31 23:59:59.999"},
        {0, "%.3f|%.3f", ".000|.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_local_time(c.ms, c.format), c.expected) << c.ms << " " << c.format;
    }
    ScopedTimeZone tokyo("JST-9");
    EXPECT_EQ(format_local_time(1772358313207, "%Y-%m-%d %H:%M:%S%.3f"), "2026-03-01 18:45:13.207");
}

}  // namespace
}  // namespace corvane
