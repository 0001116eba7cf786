// Route discovery and the echo-backend seam over a fake handle: the rules
// that don't need a network.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "engine/echo.h"

namespace corvane {
namespace {

const Ipv4Addr kDest(10, 77, 100, 1);
Ipv4Addr hop(int k) { return Ipv4Addr(10, 77, 1, std::uint8_t(k)); }

// Answers per TTL from a table; a TTL missing from it times out.
class TableHandle : public IcmpHandle {
public:
    std::map<int, EchoReply> answers;
    std::vector<int> ttls_sent;
    std::atomic<bool>* stop_after_first = nullptr;
    bool is_valid = true;

    bool valid() const override { return is_valid; }
    EchoReply echo(Ipv4Addr, std::uint8_t ttl) override {
        ttls_sent.push_back(ttl);
        if (stop_after_first) stop_after_first->store(true);
        auto it = answers.find(ttl);
        return it == answers.end() ? EchoReply{} : it->second;
    }
};

EchoReply router(Ipv4Addr a) { return EchoReply{false, false, a, 1}; }
EchoReply destination() { return EchoReply{false, true, kDest, 1}; }

// The network tests cover the usual routes; these are the ends of the TTL range.
TEST(DiscoverRoute, SendsTtl1To30InOrderAndStopsAtTheDestination) {
    struct Case {
        const char* what;
        std::map<int, EchoReply> answers;
        Route expected;
        int echoes;
    } cases[] = {
        {"destination next door", {{1, destination()}}, Route{kDest}, 1},
        {"destination at ttl 30", {{30, destination()}}, [] { Route r(29); r.push_back(kDest); return r; }(), 30},
        {"routers only, the last at ttl 30", {{1, router(hop(1))}, {30, router(hop(9))}},
         [] { Route r(30); r[0] = hop(1); r[29] = hop(9); return r; }(), 30},
        {"a router answering after the last trimmed gap", {{1, router(hop(1))}, {29, router(hop(2))}},
         [] { Route r(29); r[0] = hop(1); r[28] = hop(2); return r; }(), 30},
    };
    for (auto& c : cases) {
        TableHandle h;
        h.answers = c.answers;
        std::atomic<bool> stop{false};
        EXPECT_EQ(discover_route(h, kDest, stop), c.expected) << c.what;
        ASSERT_EQ(int(h.ttls_sent.size()), c.echoes) << c.what;
        for (std::size_t i = 0; i < h.ttls_sent.size(); ++i) EXPECT_EQ(h.ttls_sent[i], int(i) + 1) << c.what;
    }
}

TEST(DiscoverRoute, StopGivesAnEmptyRouteAndSendsNothingMore) {
    TableHandle h;
    h.answers = {{1, router(hop(1))}, {2, router(hop(2))}, {3, destination()}};
    std::atomic<bool> stop{true};
    EXPECT_TRUE(discover_route(h, kDest, stop).empty());
    EXPECT_TRUE(h.ttls_sent.empty());

    // Set during the first echo: what was found is dropped.
    stop = false;
    h.stop_after_first = &stop;
    EXPECT_TRUE(discover_route(h, kDest, stop).empty());
    EXPECT_EQ(h.ttls_sent.size(), 1u);
}

TEST(DiscoverRoute, AnInvalidHandleGivesFailedEchoesAndAnEmptyRoute) {
    TableHandle h;
    h.is_valid = false;
    h.answers = {{1, destination()}};
    EXPECT_TRUE(send_icmp_echo(h, kDest, 1).failed);
    std::atomic<bool> stop{false};
    EXPECT_TRUE(discover_route(h, kDest, stop).empty());
    EXPECT_TRUE(h.ttls_sent.empty());  // never asked the invalid handle
}

TEST(IcmpHandleFactory, InstallsRemovesAndFallsBackSafely) {
    set_icmp_handle_factory([] { return std::make_unique<TableHandle>(); });
    EXPECT_NE(dynamic_cast<TableHandle*>(open_icmp_handle().get()), nullptr);

    // A factory that yields nothing must not give callers a null handle.
    set_icmp_handle_factory([] { return std::unique_ptr<IcmpHandle>{}; });
    auto fallback = open_icmp_handle();
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(dynamic_cast<TableHandle*>(fallback.get()), nullptr);

    set_icmp_handle_factory({});
    auto system = open_icmp_handle();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(dynamic_cast<TableHandle*>(system.get()), nullptr);

    // Installing and removing while other threads open handles is safe (TSan run).
    std::atomic<bool> done{false};
    std::vector<std::thread> openers;
    for (int t = 0; t < 4; ++t)
        openers.emplace_back([&] {
            while (!done) ASSERT_NE(open_icmp_handle(), nullptr);
        });
    for (int i = 0; i < 200; ++i) {
        set_icmp_handle_factory([] { return std::make_unique<TableHandle>(); });
        set_icmp_handle_factory({});
    }
    done = true;
    for (auto& t : openers) t.join();
    set_icmp_handle_factory({});
}

}  // namespace
}  // namespace corvane
