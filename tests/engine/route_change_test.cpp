#include "engine/route_change.h"

#include <gtest/gtest.h>

#include "support/scripted_echo.h"

namespace corvane {
namespace {

using test::ScriptedNames;
using test::wait_until;

constexpr std::nullopt_t kSilent = std::nullopt;
Ipv4Addr ip(std::uint8_t d) { return Ipv4Addr(10, 0, 0, d); }

TEST(RouteChangeText, LengthChangesAreSummarised) {
    struct Case {
        Route before, after;
        std::string summary;
    };
    const Case cases[] = {
        {{ip(1), ip(2), kSilent, ip(4)},
         {ip(1), ip(3), ip(4)},
         "Path length changed from 4 to 3 hops: 10.0.0.2 dropped out (was hop 2), 10.0.0.3 joined at hop 2, and 1 "
         "more"},
        {{ip(1), ip(2), ip(3)},
         {ip(1), kSilent, ip(2), ip(3)},
         "Path length changed from 3 to 4 hops: 1 non-responding hop added"},
        {{ip(1), ip(3)}, {ip(1), kSilent, kSilent, ip(3)}, "Path length changed from 2 to 4 hops: 2 non-responding hops added"},
        {{ip(1), kSilent, kSilent, ip(3)}, {ip(1), ip(3)}, "Path length changed from 4 to 2 hops: 2 non-responding hops removed"},
        {{ip(1), kSilent, ip(2), ip(3)},
         {ip(2), ip(1), kSilent, ip(3), ip(3)},
         "Path length changed from 4 to 5 hops: same routers, in a different order"},
        {{ip(1), ip(2)}, {ip(1), ip(5)}, "Path length changed from 2 to 2 hops: 10.0.0.2 dropped out (was hop 2), "
                                           "10.0.0.5 joined at hop 2"},
        {{ip(1)}, {ip(1), ip(6)}, "Path length changed from 1 to 2 hops: 10.0.0.6 joined at hop 2"},
        {{ip(1), ip(2), ip(3), ip(4)},
         {ip(5)},
         "Path length changed from 4 to 1 hops: 10.0.0.1 dropped out (was hop 1), 10.0.0.2 dropped out (was hop 2), "
         "and 3 more"},
    };
    for (const auto& c : cases) EXPECT_EQ(route_length_change_summary(c.before, c.after), c.summary);
}

TEST(RouteChangeText, TableShowsBothRoutesAndMarksDifferences) {
    const std::string table = route_change_table({ip(1), ip(2), kSilent, ip(4)}, {ip(1), ip(3), ip(4)});
    EXPECT_EQ(table,
              "Hop  Before           After          \n"
              "  1  10.0.0.1         10.0.0.1       \n"
              "  2  10.0.0.2         10.0.0.3         <\n"
              "  3  *                10.0.0.4         <\n"
              "  4  10.0.0.4                          <");

    // Long cells are not cut; hop numbers past 99 push the row right.
    const Ipv4Addr wide(192, 168, 100, 200);
    Route before(100, wide);
    Route after(101, wide);
    const std::string big = route_change_table(before, after);
    EXPECT_NE(big.find("\n 99  192.168.100.200  192.168.100.200\n"), std::string::npos);
    EXPECT_TRUE(big.ends_with("\n101                   192.168.100.200  <"));
}

TEST(RouteChangeInPlace, ChangedRoutersGiveOneEventEachAndKeepCounters) {
    ScriptedNames names;
    names.set(ip(9), "new.test");
    Route current{ip(1), kSilent, ip(3), ip(4), ip(5)};
    TraceState st = new_monitor_state();
    for (const auto& a : current) {
        HopStats hop;
        hop.addr = a;
        hop.name = "old";
        record_sample_now(hop, 7);
        st.hops.push_back(std::move(hop));
    }
    auto shared = make_shared_state(std::move(st));

    // Hop 2 answers now, hop 3 has a new router, hop 4 fell silent.
    const Route fresh{ip(1), ip(2), ip(9), kSilent, ip(5)};
    const auto texts = apply_same_length_change(shared, current, fresh);
    ASSERT_EQ(texts, std::vector<std::string>{"Hop 3 changed from 10.0.0.3 to 10.0.0.9"});
    EXPECT_EQ(current, (Route{ip(1), ip(2), ip(9), ip(4), ip(5)}));

    ASSERT_TRUE(wait_until([&] {
        std::lock_guard lock(shared->mutex);
        return shared->state.dns_pending->empty();
    }));
    std::lock_guard lock(shared->mutex);
    const TraceState& s = shared->state;
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].text, texts[0]);
    EXPECT_EQ(s.events[0].kind, RouteEventKind::RouteChange);
    EXPECT_FALSE(s.events[0].detail);
    EXPECT_EQ(s.hops[2].addr, ip(9));
    EXPECT_EQ(s.hops[2].name, "new.test");
    EXPECT_EQ(s.hops[2].sent, 1u);
    // The newly answering hop is left to its probe thread.
    EXPECT_EQ(s.hops[1].addr, std::nullopt);
    EXPECT_EQ(s.hops[3].addr, ip(4));
    EXPECT_EQ(s.hops[3].name, "old");
}

}  // namespace
}  // namespace corvane
