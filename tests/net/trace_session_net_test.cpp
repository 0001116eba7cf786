// Trace sessions against the simulator: real echoes, names from the test
// namespace's hosts file, route changes, stopping and the history they leave;
// and against the bed's kernel routers, where the rate limits are the kernel's.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <sstream>

#include "engine/history_writer.h"
#include "engine/reverse_lookup.h"
#include "engine/trace_tab.h"
#include "main/hop_verdicts.h"
#include "netsim/simulator.h"
#include "support/net_support.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::process_thread_count;
using test::wait_until;

Ipv4Addr addr_of(const std::string& dotted) { return *Ipv4Addr::parse(dotted); }
const std::string kHop1 = test::sim_hop_addr(1);
const std::string kHop2 = test::sim_hop_addr(2);
const std::string kHop3 = test::sim_hop_addr(3);
const std::string kHop9 = test::sim_hop_addr(9);

netsim::SimDestination route_to(const std::string& dest, std::vector<std::string> hops) {
    netsim::SimDestination d;
    d.addr = dest;
    for (auto& h : hops) d.hops.push_back({h, 2.0});
    d.delay_ms = 3.0;
    return d;
}

class TraceNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        CORVANE_REQUIRE_NETBED();
        threads_before_ = process_thread_count();
        sim_ = std::make_unique<netsim::Simulator>(test::kSimDevice);
        // The real lookup (the namespace's own hosts file), counted.
        set_reverse_resolver([this](Ipv4Addr a) {
            ++lookups_;
            return system_reverse_lookup(a);
        });
        settings_->probe_ms = 200;
        settings_->route_secs = 0;
        settings_->set_history_dir(dir_.path());
        // The simulator's own threads are part of the baseline.
        threads_before_ = process_thread_count();
    }
    void TearDown() override {
        if (!sim_) return;  // skipped, or the simulator could not attach
        for (auto& stop : stops_) stop->store(true);
        EXPECT_TRUE(wait_until([&] { return process_thread_count() <= threads_before_; }));
        set_reverse_resolver(nullptr);
    }
    void start(TraceTab& tab) {
        start_trace_tab(tab, settings_);
        stops_.push_back(tab.stop);
    }
    static TraceState snap(const TraceTab& tab) {
        std::lock_guard lock(tab.state->mutex);
        return clone_trace_state(tab.state->state);
    }
    static bool monitoring_with(const TraceTab& tab, std::uint32_t probes) {
        const TraceState st = snap(tab);
        if (st.status != "Monitoring" || st.hops.empty()) return false;
        for (const auto& h : st.hops) {
            if (h.sent < probes) return false;
        }
        return st.dns_pending->empty();
    }
    // The session's threads once reverse lookups have settled: monitor + probes.
    int session_threads() const { return process_thread_count() - threads_before_; }

    std::unique_ptr<netsim::Simulator> sim_;
    std::atomic<int> lookups_{0};
    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    std::vector<StopFlag> stops_;
    int threads_before_ = 0;
};

TEST_F(TraceNetTest, ProbesEveryHopAtTheIntervalAndNamesThem) {
    // Router 1 answers at two hops; hop 3 is silent; the last router has no name.
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop2, "", kHop1, test::kSimUnnamedHop}));
    TraceTab tab = new_trace_tab(test::kSimDestName);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 2); }, 20s));

    TraceState st = snap(tab);
    EXPECT_EQ(st.target_addr, addr_of(test::kSimDest));
    ASSERT_EQ(st.events.size(), 1u);
    EXPECT_EQ(st.events[0].text, "Path discovered, 6 hops");
    EXPECT_EQ(st.events[0].kind, RouteEventKind::Info);
    ASSERT_EQ(st.hops.size(), 6u);
    const std::optional<std::string> addrs[] = {kHop1, kHop2, std::nullopt, kHop1, test::kSimUnnamedHop,
                                                test::kSimDest};
    const std::optional<std::string> names[] = {"hop1.sim.test", "hop2.sim.test", std::nullopt, "hop1.sim.test", "",
                                                "dest.sim.test"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(st.hops[i].addr, addrs[i] ? std::optional(addr_of(*addrs[i])) : std::nullopt) << "hop " << i + 1;
        EXPECT_EQ(st.hops[i].name, names[i]) << "hop " << i + 1;
    }
    EXPECT_EQ(lookups_.load(), 4);  // router 1 looked up once for two hops

    // Every hop probes on a thread of its own: while the silent hop sits out
    // its time-outs (1000 ms each) the others go on at the interval. Counted
    // from one of the silent hop's time-outs to its fourth after, an answering
    // hop sends about five probes for each of the silent hop's. At least two
    // leaves a busy machine room to add some 200 ms to every answering round,
    // and still fails a hop probed at a quarter of its rate. Rounds start one
    // interval apart at the soonest, and a time-out lasts 1000 ms, however
    // busy the machine: no hop can send more than that allows.
    constexpr std::uint32_t kSilentRounds = 4;
    const std::uint32_t silent_before = snap(tab).hops[2].sent;
    ASSERT_TRUE(wait_until([&] { return snap(tab).hops[2].sent > silent_before; }, 20s));
    const auto t0 = std::chrono::steady_clock::now();
    const TraceState a = snap(tab);
    ASSERT_TRUE(wait_until([&] { return snap(tab).hops[2].sent >= a.hops[2].sent + kSilentRounds; }, 20s));
    const TraceState b = snap(tab);
    const double span_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const std::uint32_t silent = b.hops[2].sent - a.hops[2].sent;
    EXPECT_LE(silent, span_ms / 1000.0 + 2);
    std::ostringstream report;
    for (std::size_t i = 0; i < 6; ++i) {
        const std::uint32_t got = b.hops[i].sent - a.hops[i].sent;
        report << " hop" << i + 1 << "=" << got;
        if (i == 2) continue;
        EXPECT_GE(got, 2 * silent) << "hop " << i + 1 << " probed at less than half its rate";
        EXPECT_LE(got, span_ms / 200.0 + 2) << "hop " << i + 1 << " probed faster than the interval";
    }
    std::cout << "probes in " << span_ms << " ms:" << report.str() << "\n";
    RecordProperty("probe_counts", report.str());
}

TEST_F(TraceNetTest, RouteChangesAreReportedAndLogged) {
    settings_->route_secs = 1;
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop2, kHop3}));
    TraceTab tab = new_trace_tab(test::kSimDest);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 3); }, 20s));
    ASSERT_TRUE(wait_until([&] { return session_threads() == 1 + 4; }));
    const std::uint32_t hop2_sent = snap(tab).hops[1].sent;

    // Same length: one event, hops updated in place, no new probe threads.
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop9, kHop3}));
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() >= 2; }, 10s));
    ASSERT_TRUE(wait_until([&] { return snap(tab).hops[1].name == "hop9.sim.test"; }));
    TraceState st = snap(tab);
    ASSERT_EQ(st.events.size(), 2u);
    EXPECT_EQ(st.events[1].text, "Hop 2 changed from 10.77.1.2 to 10.77.1.9");
    EXPECT_EQ(st.events[1].kind, RouteEventKind::RouteChange);
    EXPECT_FALSE(st.events[1].detail);
    EXPECT_EQ(st.hops[1].addr, addr_of(kHop9));
    EXPECT_GE(st.hops[1].sent, hop2_sent);
    EXPECT_TRUE(wait_until([&] { return session_threads() == 1 + 4; }));

    // Another length: summary and table, a new generation of probe threads.
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop3}));
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() >= 3; }, 10s));
    ASSERT_TRUE(wait_until([&] { return session_threads() == 1 + 3; }, 5s));
    st = snap(tab);
    ASSERT_EQ(st.events.size(), 3u);
    const RouteEvent& ev = st.events[2];
    EXPECT_EQ(ev.text, "Path length changed from 4 to 3 hops: 10.77.1.9 dropped out (was hop 2)");
    EXPECT_EQ(ev.kind, RouteEventKind::RouteChange);
    EXPECT_EQ(ev.detail, "Hop  Before           After          \n"
                         "  1  10.77.1.1        10.77.1.1      \n"
                         "  2  10.77.1.9        10.77.1.3        <\n"
                         "  3  10.77.1.3        10.77.100.1      <\n"
                         "  4  10.77.100.1                       <");
    ASSERT_EQ(st.hops.size(), 3u);
    EXPECT_LT(st.hops[0].sample_times.front(), ev.time_ms);  // hop 1 kept its statistics
    EXPECT_EQ(st.hops[2].addr, addr_of(test::kSimDest));

    stop_trace_tab(tab);
    ASSERT_TRUE(wait_until([&] { return process_thread_count() <= threads_before_; }));
    const std::string log = test::read_file(dir_.path() / kRouteChangesLog);
    for (const char* text : {"Path discovered, 4 hops", "Hop 2 changed from 10.77.1.2 to 10.77.1.9",
                             "Path length changed from 4 to 3 hops: 10.77.1.9 dropped out (was hop 2)"}) {
        EXPECT_NE(log.find(std::string("  10.77.100.1  ") + text + "\n"), std::string::npos) << text << "\n" << log;
    }
}

TEST_F(TraceNetTest, OneLostDestinationReplyRaisesNoAlarm) {
    settings_->route_secs = 1;
    settings_->probe_ms = 60'000;  // after their first round the probe threads keep quiet
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop2}));
    TraceTab tab = new_trace_tab(test::kSimDest);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 1); }, 20s));
    const std::uint64_t ttl1_before = sim_->requests_seen(test::kSimDest, 1);

    sim_->drop_next(test::kSimDest, 3);
    // The re-check that lost it and the next one (so the first is done).
    ASSERT_TRUE(wait_until([&] { return sim_->requests_seen(test::kSimDest, 1) >= ttl1_before + 2; }, 15s));
    EXPECT_EQ(sim_->requests_seen(test::kSimDest, 4), 1u);
    TraceState st = snap(tab);
    EXPECT_EQ(st.events.size(), 1u);
    EXPECT_EQ(st.hops.size(), 3u);
    EXPECT_EQ(session_threads(), 1 + 3);

    // A silent hop that is really new is reported, once it has been asked
    // again a few times, a second each.
    sim_->set_destination(route_to(test::kSimDest, {kHop1, kHop2, ""}));
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() >= 2; }, 40s));
    st = snap(tab);
    EXPECT_EQ(st.events[1].text, "Path length changed from 3 to 4 hops: 1 non-responding hop added");
}

TEST_F(TraceNetTest, StopEndsEverythingAndLeavesACompleteHistory) {
    sim_->set_destination(route_to(test::kSimDest, {kHop1, ""}));  // a silent hop: an echo is always out
    TraceTab tab = new_trace_tab(test::kSimDest);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 2); }, 20s));
    TraceState st = snap(tab);
    EXPECT_EQ(st.events.size(), 1u);
    ASSERT_TRUE(st.history_file);
    const std::string first_file = *st.history_file;

    const auto stopped_at = std::chrono::steady_clock::now();
    stop_trace_tab(tab);
    ASSERT_TRUE(wait_until([&] { return process_thread_count() <= threads_before_; }, 5s));
    const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                              stopped_at);
    std::cout << "stop latency: " << latency.count() << " ms\n";
    RecordProperty("stop_latency_ms", static_cast<int>(latency.count()));

    st = snap(tab);
    EXPECT_EQ(st.status, "Stopped");
    std::vector<std::uint32_t> sent;
    for (const HopStats& hop : st.hops) sent.push_back(hop.sent);
    test::expect_trace_history(test::read_file(first_file), test::kSimDest, sent);

    // A restart is a new session: new state, new history file.
    const SharedTraceState old_state = tab.state;
    start(tab);
    EXPECT_NE(tab.state, old_state);
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 1) && snap(tab).history_file.has_value(); }, 20s));
    EXPECT_NE(*snap(tab).history_file, first_file);
    EXPECT_EQ(snap(tab).events.size(), 1u);
}

TEST_F(TraceNetTest, KernelRoutersRateLimitingInARowAreNotRealLoss) {
    // The kernel's own defaults on r1 and r2: about one time-exceeded answer
    // per second to us, after a burst of six. r3 and the destination answer
    // everything.
    const test::ScopedNetnsSysctl limits[] = {
        {test::kChainR1Netns, "net/ipv4/icmp_ratelimit", "1000"},
        {test::kChainR1Netns, "net/ipv4/icmp_ratemask", "6168"},
        {test::kChainR2Netns, "net/ipv4/icmp_ratelimit", "1000"},
        {test::kChainR2Netns, "net/ipv4/icmp_ratemask", "6168"},
    };
    for (const auto& limit : limits) ASSERT_EQ(limit.error(), "");
    settings_->probe_ms = 500;
    TraceTab tab = new_trace_tab(test::kChainDest);
    start(tab);
    // The burst answers a router's first dozen or so probes in full; by 30
    // the limit has cost each router several answers, well past the 5 % a
    // verdict needs, and a probe count holds however busy the machine is.
    ASSERT_TRUE(wait_until([&] { return monitoring_with(tab, 30); }, 120s));

    const TraceState st = snap(tab);
    ASSERT_EQ(st.hops.size(), 4u);
    std::ostringstream report;
    for (std::size_t i = 0; i < st.hops.size(); ++i) {
        const HopStats& h = st.hops[i];
        report << " hop" << i + 1 << "=" << h.sent - h.received << "/" << h.sent;
    }
    std::cout << "lost/sent:" << report.str() << "\n";
    RecordProperty("lost_of_sent", report.str());
    EXPECT_EQ(compute_hop_verdicts(st.hops).classes,
              (std::vector<HopClass>{HopClass::RateLimited, HopClass::RateLimited, HopClass::None, HopClass::None}))
        << report.str();
}

}  // namespace
}  // namespace corvane
