#include "engine/route_recheck.h"

#include <gtest/gtest.h>

#include "support/scripted_echo.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::ScriptedEcho;
using test::scripted_route;

constexpr std::nullopt_t kSilent = std::nullopt;
Ipv4Addr ip(std::uint8_t d) { return Ipv4Addr(10, 0, 0, d); }
const Ipv4Addr kDest{10, 1, 0, 9};

TEST(RouteRecheck, LostAnswersExplainOnlySilences) {
    const Route current{ip(1), ip(2), ip(3), kDest};
    struct Case {
        const char* what;
        Route current, fresh;
        bool explained;
    };
    const Case cases[] = {
        {"the destination moved down", current, {ip(1), ip(2), ip(3), kSilent, kDest}, true},
        {"two answers lost", current, {ip(1), ip(2), kSilent, kSilent, kDest}, true},
        {"the tail lost", current, {ip(1), ip(2)}, true},
        {"a router where another stood: shorter", current, {ip(1), ip(3), kDest}, false},
        {"a router where the destination stood: longer", current, {ip(1), ip(2), ip(3), ip(4), kDest}, false},
        {"a router where another stood, silent before it", current, {ip(1), kSilent, ip(2), ip(3), kDest}, false},
        {"past a route that ends at a router, the destination is new",
         {ip(1), ip(2)}, {ip(1), ip(2), kSilent, kDest}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(lost_answers_explain(c.current, c.fresh, kDest), c.explained);
    }
}

// Re-checks with scripted echoes: lost answers must not read as a change of
// route, and a real change must be found by the check that first sees it.
class RouteRecheckTest : public ::testing::Test {
protected:
    Route recheck(const Route& current) {
        const std::unique_ptr<IcmpHandle> handle = open_icmp_handle();
        return recheck_route(*handle, kDest, stop_, current);
    }
    ScriptedEcho echo_{2ms};
    std::atomic<bool> stop_{false};
};

TEST_F(RouteRecheckTest, LostAnswersLeaveTheRouteAsItWas) {
    const Route current{ip(1), ip(2), ip(3), kDest};
    echo_.set_route(kDest, scripted_route({ip(1), ip(2), ip(3)}));

    // The destination's answer lost: it shows one hop further down.
    echo_.drop_next(kDest, 4);
    EXPECT_EQ(recheck(current), current);
    // Answers lost at hops 3 and 4, and hop 4 lost again on being asked
    // again until its last chance.
    echo_.drop_next(kDest, 3);
    echo_.drop_next(kDest, 4, kSilenceRechecks);
    EXPECT_EQ(recheck(current), current);

    // A 30-hop path whose destination's answer is lost: its tail is gone.
    std::vector<std::optional<Ipv4Addr>> routers;
    for (std::uint8_t d = 1; d < 30; ++d) routers.emplace_back(ip(d));
    echo_.set_route(kDest, scripted_route(routers));
    Route long_route(routers.begin(), routers.end());
    long_route.emplace_back(kDest);
    echo_.drop_next(kDest, 29);
    echo_.drop_next(kDest, 30);
    EXPECT_EQ(recheck(long_route), long_route);
}

TEST_F(RouteRecheckTest, RealChangesAreFoundAtTheFirstCheck) {
    const Route current{ip(1), ip(2), ip(3), kDest};
    struct Case {
        const char* what;
        test::ScriptedRoute now;
        Route found;
    };
    test::ScriptedRoute gone_silent = scripted_route({ip(1), ip(2), ip(3)});
    gone_silent.dest_silent = true;
    const Case cases[] = {
        {"shorter", scripted_route({ip(1), ip(3)}), {ip(1), ip(3), kDest}},
        {"longer, with a new router", scripted_route({ip(1), ip(2), ip(3), ip(4)}), {ip(1), ip(2), ip(3), ip(4), kDest}},
        {"longer, with a silent router", scripted_route({ip(1), ip(2), ip(3), kSilent}),
         {ip(1), ip(2), ip(3), kSilent, kDest}},
        {"the destination stops answering for good", gone_silent, {ip(1), ip(2), ip(3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        echo_.set_route(kDest, c.now);
        EXPECT_EQ(recheck(current), c.found);
    }
    // An answer that differs from the current route's is no loss: the route
    // is taken as found, without asking again.
    const std::uint64_t before = echo_.total_requests();
    echo_.set_route(kDest, scripted_route({ip(1), ip(3)}));
    EXPECT_EQ(recheck(current), (Route{ip(1), ip(3), kDest}));
    EXPECT_EQ(echo_.total_requests(), before + 3);
}

// A path whose destination went silent, and a stop that comes while the
// check asks its hop again: a half-asked route must not be taken for a change.
TEST(RouteRecheckStop, AStopWhileAskingAgainGivesNoRoute) {
    struct Handle final : IcmpHandle {
        std::atomic<bool>& stop;
        int asked_at_4 = 0;
        explicit Handle(std::atomic<bool>& s) : stop(s) {}
        bool valid() const override { return true; }
        EchoReply echo(Ipv4Addr, std::uint8_t ttl) override {
            if (ttl <= 3) return EchoReply{false, false, ip(ttl), 1};
            if (ttl == 4 && ++asked_at_4 == 2) stop = true;
            return EchoReply{};
        }
    };
    std::atomic<bool> stop{false};
    Handle handle(stop);
    EXPECT_EQ(recheck_route(handle, kDest, stop, {ip(1), ip(2), ip(3), kDest}), Route{});
    EXPECT_EQ(handle.asked_at_4, 2);
}

}  // namespace
}  // namespace corvane
