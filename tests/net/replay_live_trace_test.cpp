// A history file written by a real trace session against the simulator,
// played back: the hop table must come out as the live session left it.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <variant>

#include "engine/reverse_lookup.h"
#include "engine/trace_tab.h"
#include "netsim/simulator.h"
#include "replay/history_loader.h"
#include "replay/replay_playback.h"
#include "support/net_support.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::process_thread_count;
using test::wait_until;

TraceState snap(const TraceTab& tab) {
    std::lock_guard lock(tab.state->mutex);
    return clone_trace_state(tab.state->state);
}

bool every_hop_sent(const TraceTab& tab, std::uint32_t probes) {
    const TraceState st = snap(tab);
    if (st.status != "Monitoring" || st.hops.empty()) return false;
    for (const auto& h : st.hops) {
        if (h.sent < probes) return false;
    }
    return true;
}

TEST(ReplayLiveTrace, RecordedSessionPlaysBackToTheSameHopTable) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim(test::kSimDevice);
    const int threads_before = process_thread_count();  // the simulator's thread included
    // Names play no part here; no lookup needs to leave the process.
    struct StubResolver {
        StubResolver() { set_reverse_resolver([](Ipv4Addr) { return std::optional<std::string>(); }); }
        ~StubResolver() { set_reverse_resolver(nullptr); }
    } stub;

    // A lossy hop (lost rows carry no address), a silent one, a varying
    // delay so best, worst and last differ.
    netsim::SimDestination d;
    d.addr = test::kSimDest;
    d.hops = {{test::sim_hop_addr(1), 1.0}, {test::sim_hop_addr(2), 4.0, 30.0}, {"", 0.0}, {test::sim_hop_addr(3), 9.0}};
    d.delay_ms = 12.0;
    sim.set_destination(d);

    test::TempDir dir;
    auto settings = std::make_shared<SharedSettings>();
    settings->probe_ms = 100;
    settings->route_secs = 0;
    settings->set_history_dir(dir.path());
    TraceTab tab = new_trace_tab(test::kSimDest);
    start_trace_tab(tab, settings);
    ASSERT_TRUE(wait_until([&] { return every_hop_sent(tab, 5); }, 30s));
    stop_trace_tab(tab);
    ASSERT_TRUE(wait_until([&] { return process_thread_count() <= threads_before; }, 10s));

    const TraceState live = snap(tab);
    ASSERT_TRUE(live.history_file);
    ASSERT_EQ(live.hops.size(), 5u);

    auto opened = open_history_recording(*live.history_file);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ReplaySession>>(opened)) << std::get<std::string>(opened);
    ReplaySession& replay = *std::get<std::unique_ptr<ReplaySession>>(opened);
    EXPECT_EQ(replay.title, test::kSimDest);
    replay_seek(replay, static_cast<double>(replay.end_ms));
    ASSERT_EQ(replay.next_index, replay.samples.size());

    TraceState played;
    {
        std::lock_guard lock(replay.state->mutex);
        played = clone_trace_state(replay.state->state);
    }
    ASSERT_EQ(played.hops.size(), live.hops.size());
    EXPECT_EQ(played.target_addr, live.target_addr);
    std::uint32_t lost = 0;
    for (std::size_t i = 0; i < live.hops.size(); ++i) {
        const HopStats& a = live.hops[i];
        const HopStats& b = played.hops[i];
        SCOPED_TRACE("hop " + std::to_string(i + 1));
        EXPECT_EQ(b.sent, a.sent);
        EXPECT_EQ(b.received, a.received);
        EXPECT_EQ(b.best, a.best);
        EXPECT_EQ(b.worst, a.worst);
        EXPECT_EQ(b.rtt_sum, a.rtt_sum);
        EXPECT_EQ(b.last, a.last);
        EXPECT_EQ(b.addr, a.addr);
        lost += a.sent - a.received;
    }
    // The case is only worth its name with answers, losses and a silent hop.
    EXPECT_EQ(live.hops[2].received, 0u);
    EXPECT_GT(live.hops[1].received, 0u);
    EXPECT_GT(lost, live.hops[2].sent);
}

}  // namespace
}  // namespace corvane
