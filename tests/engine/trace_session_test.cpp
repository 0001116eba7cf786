#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>

#include "engine/clock.h"
#include "engine/history_writer.h"
#include "engine/reverse_lookup.h"
#include "engine/trace_tab.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::ScriptedEcho;
using test::ScriptedNames;
using test::scripted_route;
using test::wait_until;

constexpr std::nullopt_t kSilent = std::nullopt;
const Ipv4Addr kDest{10, 1, 0, 9};
const std::string kTarget = " 10.1.0.9\t";  // typed with white space around it
Ipv4Addr hop(std::uint8_t d) { return Ipv4Addr(10, 0, 0, d); }

class TraceSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        threads_before_ = test::baseline_thread_count();
        settings_->probe_ms = 20;
        settings_->route_secs = 0;
        settings_->set_history_dir(dir_.path() / "History");
        names_.set(hop(1), "r1.test");
        names_.set(kDest, "dest.test");
    }
    void TearDown() override {
        for (auto& stop : stops_) stop->store(true);
        // Every thread of every session must end, or later tests would
        // probe through whatever echo backend is installed then.
        EXPECT_TRUE(wait_until([&] { return test::process_thread_count() <= threads_before_; }));
    }

    void start(TraceTab& tab) {
        start_trace_tab(tab, settings_);
        stops_.push_back(tab.stop);
    }
    static TraceState snap(const TraceTab& tab) {
        std::lock_guard lock(tab.state->mutex);
        return clone_trace_state(tab.state->state);
    }
    static bool status_is(const TraceTab& tab, const std::string& text) { return snap(tab).status == text; }
    static bool every_hop_sent(const TraceTab& tab, std::uint32_t n) {
        const TraceState st = snap(tab);
        if (st.hops.empty()) return false;
        for (const auto& h : st.hops) {
            if (h.sent < n) return false;
        }
        return true;
    }
    // Thread ends, by the echo handles still open (monitor + probe threads).
    bool open_handles_settle_at(int n) { return wait_until([&] { return echo_.handles_open() == n; }); }

    ScriptedEcho echo_{20ms};
    ScriptedNames names_;
    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    std::vector<StopFlag> stops_;
    int threads_before_ = 0;
};

TEST_F(TraceSessionTest, InstallsTheRouteAndProbesEveryHopOnItsOwnThread) {
    echo_.set_route(kDest, scripted_route({hop(1), kSilent, hop(3), hop(1)}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Monitoring"); }));
    ASSERT_TRUE(wait_until([&] { return every_hop_sent(tab, 5) && names_.finished() == 3; }));

    const TraceState st = snap(tab);
    EXPECT_EQ(st.target_addr, kDest);
    ASSERT_EQ(st.hops.size(), 5u);
    const std::optional<Ipv4Addr> addrs[] = {hop(1), kSilent, hop(3), hop(1), kDest};
    const std::optional<std::string> shown[] = {"r1.test", std::nullopt, "", "r1.test", "dest.test"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(st.hops[i].addr, addrs[i]) << "hop " << i + 1;
        EXPECT_EQ(st.hops[i].name, shown[i]) << "hop " << i + 1;
    }
    EXPECT_EQ(st.hops[1].received, 0u);
    EXPECT_EQ(st.hops[4].received, st.hops[4].sent);
    ASSERT_EQ(st.events.size(), 1u);
    EXPECT_EQ(st.events[0].text, "Path discovered, 5 hops");
    EXPECT_EQ(st.events[0].kind, RouteEventKind::Info);
    // One lookup for the router answering at two hops.
    EXPECT_EQ(names_.calls(hop(1)), 1);
    EXPECT_EQ(echo_.handles_opened(), 1 + 5);
    EXPECT_EQ(st.last_trace_ms, 0);
}

TEST_F(TraceSessionTest, StoppedSessionWritesEveryProbeToTheHistory) {
    echo_.set_route(kDest, scripted_route({hop(1), kSilent}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return every_hop_sent(tab, 8); }));
    stop_trace_tab(tab);
    ASSERT_TRUE(open_handles_settle_at(0));

    const TraceState st = snap(tab);
    EXPECT_EQ(st.status, "Stopped");
    ASSERT_TRUE(st.history_file);
    EXPECT_FALSE(st.history_error);
    std::vector<std::uint32_t> sent;
    for (const HopStats& hop : st.hops) sent.push_back(hop.sent);
    test::expect_trace_history(test::read_file(*st.history_file), "10.1.0.9", sent);  // the trimmed target
}

TEST_F(TraceSessionTest, StopDuringDiscoveryKeepsStoppedAndStartsNoProbes) {
    // Slow routers: the stop lands in the middle of discovery.
    test::ScriptedRoute slow = scripted_route({hop(1), hop(2), hop(3), hop(4), hop(5)}, 40);
    echo_.set_route(kDest, slow);
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return echo_.requests(kDest, 2) == 1; }));
    stop_trace_tab(tab);
    ASSERT_TRUE(open_handles_settle_at(0));
    TraceState st = snap(tab);
    EXPECT_EQ(st.status, "Stopped");
    EXPECT_TRUE(st.hops.empty());
    EXPECT_TRUE(st.events.empty());
    EXPECT_EQ(echo_.handles_opened(), 1);
    EXPECT_EQ(echo_.requests(kDest, 4), 0u);  // the flag is read before every echo
}

TEST_F(TraceSessionTest, StopDuringTheRetryPauseEndsWithinATick) {
    // Nothing answers: 30 time-outs, then the 3 s pause before a retry.
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(
        wait_until([&] { return status_is(tab, "No hops found, retrying. Is ICMP blocked on this network?"); }));
    stop_trace_tab(tab);
    // Far below the 3 s pause; the pause is sliced in monitor ticks.
    EXPECT_TRUE(wait_until([&] { return echo_.handles_open() == 0; }, 2000ms));
    EXPECT_EQ(snap(tab).status, "Stopped");
    EXPECT_EQ(echo_.total_requests(), 30u);
    EXPECT_EQ(echo_.handles_opened(), 1);
}

// Interval 0 means never, not some default: with the clock a day ahead, the
// monitor's ticks see a day since the discovery and still don't look.
TEST_F(TraceSessionTest, RouteCheckIntervalZeroNeverRetraces) {
    settings_->probe_ms = 200;  // rows that keep coming without filling the buffer
    std::atomic<bool> day_later{false};
    struct ClockAhead {
        explicit ClockAhead(const std::atomic<bool>& on) {
            set_monotonic_clock([&on] { return std::chrono::steady_clock::now() + (on.load() ? 24h : 0h); });
        }
        ~ClockAhead() { set_monotonic_clock({}); }
    } clock(day_later);
    echo_.set_route(kDest, scripted_route({hop(1)}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Monitoring") && snap(tab).history_file.has_value(); }));
    echo_.set_route(kDest, scripted_route({hop(1), hop(2)}));  // a change nobody looks for
    day_later = true;

    // Every fourth tick flushes the probes' rows, and a tick decides on a
    // route check after its flush: of three growths of the file from here at
    // least two are flushes, so at least one whole tick weighed the day.
    const std::filesystem::path file = *snap(tab).history_file;
    std::uintmax_t size = std::filesystem::file_size(file);
    for (int growth = 0; growth < 3; ++growth) {
        ASSERT_TRUE(wait_until([&] { return std::filesystem::file_size(file) > size; }));
        size = std::filesystem::file_size(file);
    }
    TraceState st = snap(tab);
    EXPECT_EQ(st.last_trace_ms, 0);
    EXPECT_EQ(st.events.size(), 1u);
    EXPECT_EQ(st.hops.size(), 2u);
    EXPECT_EQ(echo_.requests(kDest, 3), 0u);

    // Any interval up to a day re-checks at the next tick.
    settings_->route_secs = 24 * 3600;
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() == 2; }));
    EXPECT_NE(snap(tab).last_trace_ms, 0);
    EXPECT_EQ(snap(tab).hops.size(), 3u);
}

TEST_F(TraceSessionTest, ChangedRouterAtOneHopIsUpdatedInPlace) {
    settings_->route_secs = 1;
    echo_.set_route(kDest, scripted_route({hop(1), hop(2)}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Monitoring") && every_hop_sent(tab, 3); }));
    const std::uint32_t sent_before = snap(tab).hops[1].sent;

    names_.set(hop(9), "r9.test");
    echo_.set_route(kDest, scripted_route({hop(1), hop(9)}));
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() == 2; }));
    ASSERT_TRUE(wait_until([&] { return snap(tab).hops[1].name == "r9.test"; }));
    const TraceState st = snap(tab);
    EXPECT_EQ(st.events[1].text, "Hop 2 changed from 10.0.0.2 to 10.0.0.9");
    EXPECT_EQ(st.events[1].kind, RouteEventKind::RouteChange);
    EXPECT_FALSE(st.events[1].detail);
    EXPECT_NE(st.last_trace_ms, 0);
    ASSERT_EQ(st.hops.size(), 3u);
    EXPECT_EQ(st.hops[1].addr, hop(9));
    EXPECT_GE(st.hops[1].sent, sent_before);  // counters continue
    EXPECT_EQ(echo_.handles_opened(), 1 + 3);  // no new probe threads
    stop_trace_tab(tab);
    ASSERT_TRUE(open_handles_settle_at(0));
    const std::string log = test::read_file(dir_.path() / "History" / kRouteChangesLog);
    EXPECT_NE(log.find("  10.1.0.9  Hop 2 changed from 10.0.0.2 to 10.0.0.9\n"), std::string::npos) << log;
}

TEST_F(TraceSessionTest, LengthChangeStartsANewGenerationKeepingStayingHops) {
    echo_.set_route(kDest, scripted_route({hop(1), hop(2), kSilent}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Monitoring") && every_hop_sent(tab, 3); }));

    // The path gets shorter, and before the route check sees it the probe
    // threads take the new answers into the old records: r3's into hop 2's,
    // the destination's into silent hop 3's.
    echo_.set_route(kDest, scripted_route({hop(1), hop(3)}));
    ASSERT_TRUE(wait_until([&] {
        const TraceState st = snap(tab);
        return st.hops[1].addr == hop(3) && st.hops[2].addr == kDest;
    }));
    settings_->route_secs = 1;
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() == 2; }));
    // The four old probe threads end, three new ones run. The event is told
    // before the new threads start, and the open count passes through 1 + 3
    // while old ones close and new ones open: wait for all three to open.
    ASSERT_TRUE(wait_until([&] { return echo_.handles_opened() >= 1 + 4 + 3; }));
    ASSERT_TRUE(open_handles_settle_at(1 + 3));
    EXPECT_EQ(echo_.handles_opened(), 1 + 4 + 3);
    ASSERT_TRUE(wait_until([&] { return every_hop_sent(tab, 1); }));

    const TraceState st = snap(tab);
    const RouteEvent& ev = st.events[1];
    EXPECT_EQ(ev.kind, RouteEventKind::RouteChange);
    EXPECT_EQ(ev.text,
              "Path length changed from 4 to 3 hops: 10.0.0.2 dropped out (was hop 2), 10.0.0.3 joined at hop 2, "
              "and 1 more");
    ASSERT_TRUE(ev.detail);
    EXPECT_TRUE(ev.detail->starts_with("Hop  Before"));
    EXPECT_TRUE(ev.detail->ends_with("  4  10.1.0.9                          <"));
    ASSERT_EQ(st.hops.size(), 3u);
    // Hop 1 kept its record; r3 starts afresh rather than with r2's history.
    EXPECT_LT(st.hops[0].sample_times.front(), ev.time_ms);
    EXPECT_EQ(st.hops[1].addr, hop(3));
    EXPECT_GE(st.hops[1].sample_times.front(), ev.time_ms);
    // The destination's own record came along, with none of the silent hop's
    // losses.
    EXPECT_EQ(st.hops[2].addr, kDest);
    EXPECT_LT(st.hops[2].sample_times.front(), ev.time_ms);
    EXPECT_EQ(st.hops[2].received, st.hops[2].sent);
    stop_trace_tab(tab);
    ASSERT_TRUE(open_handles_settle_at(0));
    const std::string log = test::read_file(dir_.path() / "History" / kRouteChangesLog);
    EXPECT_NE(log.find("  10.1.0.9  " + ev.text + "\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Before"), std::string::npos);  // the table stays out of the log
}

TEST_F(TraceSessionTest, LostAnswersAreAskedAgainBeforeAnyoneIsAlerted) {
    settings_->route_secs = 1;
    settings_->probe_ms = 60'000;  // one round per probe thread: re-checks alone echo after that
    echo_.set_route(kDest, scripted_route({hop(1), hop(2)}));
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Monitoring") && every_hop_sent(tab, 1); }));

    // The first re-check loses hop 2's answer and the destination's, which
    // then answers one hop further down; asked again, both answer where they
    // stood. The re-check after it shows the first one was dealt with.
    echo_.drop_next(kDest, 2);
    echo_.drop_next(kDest, 3);
    ASSERT_TRUE(wait_until([&] { return echo_.requests(kDest, 1) >= 1 + 1 + 2; }));
    EXPECT_EQ(echo_.requests(kDest, 4), 1u);
    TraceState st = snap(tab);
    EXPECT_EQ(st.events.size(), 1u);
    EXPECT_EQ(echo_.handles_opened(), 1 + 3);
    EXPECT_EQ(st.hops.size(), 3u);

    // A silent hop that is really there is reported.
    echo_.set_route(kDest, scripted_route({hop(1), hop(2), kSilent}));
    // The event is told before the hops are rebuilt.
    ASSERT_TRUE(wait_until([&] { return snap(tab).events.size() == 2 && snap(tab).hops.size() == 4; }));
    ASSERT_TRUE(wait_until([&] { return every_hop_sent(tab, 1); }));
    st = snap(tab);
    const RouteEvent& ev = st.events[1];
    EXPECT_EQ(ev.text, "Path length changed from 3 to 4 hops: 1 non-responding hop added");
    ASSERT_EQ(st.hops.size(), 4u);
    // Hops 1 and 2 kept their records, and the destination its own, now at
    // hop 4: no probe had answered into it since. Hop 3 is silent, and new.
    EXPECT_LT(st.hops[1].sample_times.front(), ev.time_ms);
    EXPECT_EQ(st.hops[2].addr, std::nullopt);
    EXPECT_EQ(st.hops[2].sent, 1u);
    EXPECT_EQ(st.hops[2].received, 0u);
    EXPECT_EQ(st.hops[3].addr, kDest);
    EXPECT_LT(st.hops[3].sample_times.front(), ev.time_ms);
    EXPECT_EQ(st.hops[3].received, st.hops[3].sent);
}

TEST_F(TraceSessionTest, ProbeThreadWithoutAHandleEndsAndMonitorReportsItsOwn) {
    echo_.set_open_fails(true);
    TraceTab tab = new_trace_tab(kTarget);
    start(tab);
    ASSERT_TRUE(wait_until([&] { return status_is(tab, "Could not open an ICMP handle"); }));
    ASSERT_TRUE(open_handles_settle_at(0));
    const TraceState st = snap(tab);
    EXPECT_TRUE(st.writer);  // made, but no file is ever created
    EXPECT_FALSE(st.history_file);
    EXPECT_EQ(echo_.total_requests(), 0u);
}

}  // namespace
}  // namespace corvane
