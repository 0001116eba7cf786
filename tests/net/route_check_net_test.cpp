// Route checks against the bed's kernel routers: a router that loses echoes
// must not read as a change of route, and a path that really gets shorter
// must, by the first check that sees it whole.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "chain_faults.h"
#include "engine/trace_tab.h"
#include "support/net_support.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::process_thread_count;
using test::wait_until;

class RouteCheckNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        CORVANE_REQUIRE_NETBED();
        threads_before_ = test::baseline_thread_count();
        settings_->probe_ms = 1000;
        settings_->route_secs = 1;
        settings_->set_history_dir(dir_.path());
    }
    void TearDown() override {
        if (!tabs_.empty()) stop_all();
    }

    // Starts traces to the chain's destination and waits until each has
    // found the whole chain.
    void start_traces(int count) {
        for (int i = 0; i < count; ++i) {
            tabs_.push_back(new_trace_tab(test::kChainDest));
            start_trace_tab(tabs_.back(), settings_);
        }
        for (const TraceTab& tab : tabs_) {
            ASSERT_TRUE(wait_until([&] { return snap(tab).status == "Monitoring"; }, 60s));
            ASSERT_EQ(snap(tab).hops.size(), 4u);
        }
    }
    void stop_all() {
        for (TraceTab& tab : tabs_) stop_trace_tab(tab);
        EXPECT_TRUE(wait_until([&] { return process_thread_count() <= threads_before_; }));
    }
    static TraceState snap(const TraceTab& tab) {
        std::lock_guard lock(tab.state->mutex);
        return clone_trace_state(tab.state->state);
    }
    static std::vector<RouteEvent> route_changes(const TraceTab& tab) {
        std::vector<RouteEvent> out;
        for (const RouteEvent& e : snap(tab).events) {
            if (e.kind == RouteEventKind::RouteChange) out.push_back(e);
        }
        return out;
    }
    // Counts the route checks of every trace (each stamps the state with its
    // time) until `done(checks)` holds. A check the poll misses only makes
    // the wait longer.
    bool count_checks_until(const std::function<bool(int)>& done, std::chrono::milliseconds limit) {
        std::vector<std::int64_t> last;
        for (const TraceTab& tab : tabs_) last.push_back(snap(tab).last_trace_ms);
        int checks = 0;
        return wait_until(
            [&] {
                for (std::size_t i = 0; i < tabs_.size(); ++i) {
                    const std::int64_t t = snap(tabs_[i]).last_trace_ms;
                    if (t != last[i]) {
                        last[i] = t;
                        ++checks;
                    }
                }
                return done(checks);
            },
            limit);
    }

    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    std::vector<TraceTab> tabs_;
    int threads_before_ = 0;
};

TEST_F(RouteCheckNetTest, ARouterLosingEchoesRaisesNoRouteChange) {
    start_traces(4);
    // From here r2 drops 30 % of what it forwards: every discovery loses
    // answers from r3 and the destination at random.
    test::ScopedForwardLoss loss(test::kChainR2Netns, 30);
    ASSERT_EQ(loss.error(), "");
    ASSERT_TRUE(count_checks_until([](int checks) { return checks >= 40; }, 240s));
    stop_all();

    std::uint32_t lost_at_destination = 0;
    for (const TraceTab& tab : tabs_) {
        const TraceState st = snap(tab);
        for (const RouteEvent& e : route_changes(tab)) ADD_FAILURE() << e.text;
        EXPECT_EQ(st.hops.size(), 4u);
        lost_at_destination += st.hops.back().sent - st.hops.back().received;
    }
    EXPECT_GT(lost_at_destination, 0u) << "the router lost nothing: the test proved nothing";
}

TEST_F(RouteCheckNetTest, AShorterPathIsReportedByTheFirstWholeCheck) {
    start_traces(1);
    test::ScopedForwardLoss loss(test::kChainR2Netns, 30);
    ASSERT_EQ(loss.error(), "");
    // r1 sends the destination's traffic straight to r3: r3 answers at hop
    // 2 and the destination at hop 3, no address the chain lacked. A check
    // already under way may still see the old path; the next one can't.
    test::ScopedChainBypass bypass;
    ASSERT_EQ(bypass.error(), "");
    int checks_before_event = 0;
    ASSERT_TRUE(count_checks_until(
        [&](int checks) {
            checks_before_event = checks;
            return !route_changes(tabs_[0]).empty() || checks > 2;
        },
        60s));
    const std::vector<RouteEvent> changes = route_changes(tabs_[0]);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_LE(checks_before_event, 2);
    EXPECT_EQ(changes[0].text, "Path length changed from 4 to 3 hops: 10.91.2.2 dropped out (was hop 2)");
    const TraceState st = snap(tabs_[0]);
    ASSERT_EQ(st.hops.size(), 3u);
    EXPECT_EQ(st.hops[1].addr, Ipv4Addr::parse(test::kChainR3));
    EXPECT_EQ(st.hops[2].addr, Ipv4Addr::parse(test::kChainDest));
    stop_all();
}

}  // namespace
}  // namespace corvane
