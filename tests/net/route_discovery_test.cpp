// Route discovery against the simulated routers and the kernel-router chain,
// over both socket kinds.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "icmp_test_handle.h"
#include "netsim/simulator.h"
#include "support/net_support.h"

namespace corvane::test {
namespace {

using platform::IcmpSocketKind;
using Entries = std::vector<std::optional<Ipv4Addr>>;

class RouteDiscovery : public ::testing::TestWithParam<IcmpSocketKind> {
protected:
    std::unique_ptr<KindHandle> handle() {
        auto h = std::make_unique<KindHandle>(GetParam());
        EXPECT_TRUE(h->valid()) << kind_name(GetParam()) << " socket: errno " << h->socket().open_error();
        return h;
    }
    std::atomic<bool> no_stop{false};
};

TEST_P(RouteDiscovery, FindsEveryAnsweringHopInOrder) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    sim.set_destination(sim_route(kSimDest, 4, 1));
    auto h = handle();
    const Route route = discover_route(*h, addr(kSimDest), no_stop);
    EXPECT_EQ(route, (Entries{addr(sim_hop_addr(1)), addr(sim_hop_addr(2)), addr(sim_hop_addr(3)),
                              addr(sim_hop_addr(4)), addr(kSimDest)}));

    // Real kernel routers: r1, r2, r3, then the destination.
    EXPECT_EQ(discover_route(*h, addr(kChainDest), no_stop),
              (Entries{addr(kChainR1), addr(kChainR2), addr(kChainR3), addr(kChainDest)}));
}

TEST_P(RouteDiscovery, SilentHopsInTheMiddleStayAndTrailingOnesGo) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    // Routers 3 and 4 silent, destination at TTL 6.
    auto middle = sim_route(kSimDest, 5);
    middle.hops[2].addr.clear();
    middle.hops[3].addr.clear();
    sim.set_destination(middle);
    // Two routers, then "host unreachable" for every higher TTL: failed
    // echoes that leave silent entries to trim.
    auto tail = sim_route(kSimDest2, 2);
    tail.unreachable = true;
    sim.set_destination(tail);

    auto h = handle();
    EXPECT_EQ(discover_route(*h, addr(kSimDest), no_stop),
              (Entries{addr(sim_hop_addr(1)), addr(sim_hop_addr(2)), std::nullopt, std::nullopt,
                       addr(sim_hop_addr(5)), addr(kSimDest)}));
    EXPECT_EQ(discover_route(*h, addr(kSimDest2), no_stop), (Entries{addr(sim_hop_addr(1)), addr(sim_hop_addr(2))}));
    EXPECT_EQ(sim.requests_seen(kSimDest2, 30), 1u);  // went on to TTL 30 before trimming
}

TEST_P(RouteDiscovery, NothingAnsweringGivesAnEmptyRoute) {
    CORVANE_REQUIRE_NETBED();
    auto h = handle();
    // Not routed at all: every send fails at once, so this costs no time-outs.
    EXPECT_TRUE(discover_route(*h, addr(kUnroutable), no_stop).empty());
}

TEST_P(RouteDiscovery, DestinationAddressAnsweringTimeExceededIsNotTheEnd) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    auto d = sim_route(kSimDest, 3);
    d.hops[1].addr = kSimDest;
    sim.set_destination(d);
    auto h = handle();
    EXPECT_EQ(discover_route(*h, addr(kSimDest), no_stop),
              (Entries{addr(sim_hop_addr(1)), addr(kSimDest), addr(sim_hop_addr(3)), addr(kSimDest)}));
    auto reply = send_icmp_echo(*h, addr(kSimDest), 2);
    EXPECT_FALSE(reply.failed);
    EXPECT_FALSE(reply.reached);
}

TEST_P(RouteDiscovery, StopDuringDiscoveryGivesAnEmptyRoute) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    // Hop 2 is silent, so discovery sits in its time-out when the stop comes.
    auto d = sim_route(kSimDest, 4);
    d.hops[1].addr.clear();
    sim.set_destination(d);
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (sim.requests_seen(kSimDest, 2) == 0 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        stop = true;
    });
    auto h = handle();
    const Route route = discover_route(*h, addr(kSimDest), stop);
    stopper.join();
    EXPECT_TRUE(route.empty()) << route.size();
    EXPECT_EQ(sim.requests_seen(kSimDest, 1), 1u);  // hop 1 had answered
    EXPECT_EQ(sim.requests_seen(kSimDest, 3), 0u);  // and nothing was sent after the stop
}

TEST(RouteDiscoverySystemHandle, TheEngineHandleDiscoversToo) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    sim.set_destination(sim_route(kSimDest, 2));
    // A destination that answers from another of its addresses ends the
    // route there, under that address.
    auto elsewhere = sim_route(kSimDest2, 1);
    elsewhere.reply_from = kSimUnnamedDest;
    sim.set_destination(elsewhere);
    auto h = open_icmp_handle();
    ASSERT_TRUE(h->valid());
    std::atomic<bool> stop{false};
    EXPECT_EQ(discover_route(*h, addr(kSimDest), stop),
              (Entries{addr(sim_hop_addr(1)), addr(sim_hop_addr(2)), addr(kSimDest)}));
    EXPECT_EQ(discover_route(*h, addr(kSimDest2), stop), (Entries{addr(sim_hop_addr(1)), addr(kSimUnnamedDest)}));
    EXPECT_EQ(sim.requests_seen(kSimDest2, 3), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, RouteDiscovery, ::testing::Values(IcmpSocketKind::ping, IcmpSocketKind::raw),
                         [](const auto& info) { return std::string(kind_name(info.param)); });

}  // namespace
}  // namespace corvane::test
