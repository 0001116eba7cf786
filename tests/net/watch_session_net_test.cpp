// Watch sessions against the simulator: outages seen through real echoes,
// the history rows and event log they leave, and a name that moves.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/clock.h"
#include "engine/duration_text.h"
#include "engine/watch_session.h"
#include "engine/watch_tab.h"
#include "netsim/simulator.h"
#include "support/net_support.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::lines_of;
using test::row_tail;

template <typename Pred>
bool wait_state(const SharedTraceState& s, Pred pred, std::chrono::seconds limit = 20s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(s->mutex);
            if (pred(s->state)) return true;
        }
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(10ms);
    }
}

TraceState snapshot(const WatchTab& tab) {
    std::lock_guard lock(tab.state->mutex);
    return clone_trace_state(tab.state->state);
}


std::size_t count_rows(const std::vector<std::string>& rows, const std::string& tail) {
    std::size_t n = 0;
    for (const std::string& r : rows) n += row_tail(r) == tail;
    return n;
}

netsim::SimDestination sim_host(const std::string& addr, double delay_ms = 2) {
    netsim::SimDestination d;
    d.addr = addr;
    d.delay_ms = delay_ms;
    return d;
}

std::size_t thread_count() { return static_cast<std::size_t>(test::process_thread_count()); }

// Stops the tab and waits until its threads are gone, so its last rows are on
// disk (the flush thread flushes once more after the host threads end).
void stop_and_settle(WatchTab& tab, std::size_t threads_before) {
    stop_watch_tab(tab);
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (thread_count() > threads_before && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    EXPECT_LE(thread_count(), threads_before) << "watch threads still running";
}

// Edits the namespace's own hosts file in place (it is bind-mounted over
// /etc/hosts, so it must not be replaced) and puts the old text back.
class NamespaceHosts {
public:
    NamespaceHosts() {
        struct stat here {}, ns {};
        usable_ = ::stat("/etc/hosts", &here) == 0 && ::stat("/etc/netns/cvclient/hosts", &ns) == 0 &&
                  here.st_ino == ns.st_ino && here.st_dev == ns.st_dev;
        if (usable_) original_ = test::read_file("/etc/hosts");
    }
    ~NamespaceHosts() {
        if (usable_) write(original_);
    }
    bool usable() const { return usable_; }
    void set_extra(const std::string& lines) { write(original_ + lines); }

private:
    static void write(const std::string& text) {
        std::ofstream out("/etc/hosts", std::ios::binary | std::ios::trunc);
        out << text;
    }
    bool usable_ = false;
    std::string original_;
};

class WatchSessionNet : public ::testing::Test {
protected:
    void SetUp() override {
        settings_->set_probe_ms(100);
        settings_->set_history_dir(dir_.path());
    }
    void TearDown() override {
        if (started_) stop_and_settle(tab_, threads_before_);
    }
    void start(const std::vector<WatchHost>& hosts, std::chrono::milliseconds resolve_period = kWatchResolvePeriod) {
        threads_before_ = static_cast<std::size_t>(test::baseline_thread_count());
        started_ = true;
        start_watch_tab(tab_, settings_, hosts, resolve_period);
    }
    void settle() { stop_and_settle(tab_, threads_before_); }
    bool started_ = false;
    std::size_t threads_before_ = 0;
    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    WatchTab tab_ = new_watch_tab("Edge sites");
};

TEST_F(WatchSessionNet, OutageRaisesEventsRowsAndLogLines) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    const std::string addr = "10.77.60.1";
    sim.set_destination(sim_host(addr));
    start({{addr, "Edge"}});

    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.hops[0].received >= 3; }));
    sim.set_destination_silent(addr, true);
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return !st.events.empty(); }));
    sim.set_destination_silent(addr, false);
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.events.size() >= 2; }));
    settle();

    const TraceState st = snapshot(tab_);
    const HopStats& h = st.hops[0];
    EXPECT_EQ(h.addr, Ipv4Addr::parse(addr));
    // The first lost sample and the third of its run.
    std::size_t first_lost = 0;
    while (first_lost < h.samples.size() && !sample_lost(h.samples[first_lost])) ++first_lost;
    ASSERT_LT(first_lost + 2, h.samples.size());
    for (std::size_t i = first_lost; i < first_lost + 3; ++i) ASSERT_TRUE(sample_lost(h.samples[i])) << i;

    ASSERT_EQ(st.events.size(), 2u);
    EXPECT_EQ(st.events[0].text, "Edge is down");
    EXPECT_EQ(st.events[0].kind, RouteEventKind::HostDown);
    EXPECT_EQ(st.events[0].time_ms, h.sample_times[first_lost + 2]);
    const RouteEvent& up = st.events[1];
    EXPECT_EQ(up.kind, RouteEventKind::HostUp);
    const std::int64_t outage = up.time_ms - h.sample_times[first_lost];
    EXPECT_EQ(up.text, "Edge is back up after " + format_duration_ms(outage));
    // Two more lost echoes, each a whole time-out, lie within the outage.
    EXPECT_GE(outage, 2000);
    EXPECT_GE(sim.requests_seen(addr, kWatchTtl), h.sent);

    ASSERT_TRUE(st.history_file.has_value());
    const std::vector<std::string> rows = lines_of(test::read_file(*st.history_file));
    ASSERT_EQ(rows.size(), h.sent + 1);
    EXPECT_EQ(count_rows(rows, "Edge,1," + addr + ",,lost"), h.sent - h.received);
    EXPECT_GE(count_rows(rows, "Edge,1," + addr + ",,lost"), 3u);

    const std::vector<std::string> log = lines_of(test::read_file(dir_.path() / "watch-events.log"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("  Edge sites  Edge is down"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("  Edge sites  " + up.text), std::string::npos) << log[1];
}

TEST_F(WatchSessionNet, NameThatMovesIsResolvedAgain) {
    CORVANE_REQUIRE_NETBED();
    NamespaceHosts hosts;
    if (!hosts.usable()) GTEST_SKIP() << "/etc/hosts is not the test namespace's own file";
    netsim::Simulator sim;
    const std::string first = "10.77.61.1", second = "10.77.61.2", name = "moving.sim.test";
    sim.set_destination(sim_host(first));
    sim.set_destination(sim_host(second));
    hosts.set_extra(first + "  " + name + "\n");

    start({{name, std::nullopt}}, 300ms);
    ASSERT_TRUE(wait_state(tab_.state, [&](const TraceState& st) {
        return st.hops[0].addr == Ipv4Addr::parse(first) && st.hops[0].received >= 1;
    }));

    hosts.set_extra(second + "  " + name + "\n");
    std::uint32_t received_at_move = 0;
    ASSERT_TRUE(wait_state(tab_.state, [&](const TraceState& st) {
        if (st.hops[0].addr != Ipv4Addr::parse(second)) return false;
        if (received_at_move == 0) received_at_move = st.hops[0].received;
        return st.hops[0].received >= received_at_move + 2;
    }));
    EXPECT_GT(sim.requests_seen(second, kWatchTtl), 0u);

    // The name vanishes: the host keeps its last address and stays pinged.
    hosts.set_extra("");
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.hops[0].error.has_value(); }));
    const std::uint32_t sent_at_failure = snapshot(tab_).hops[0].sent;
    ASSERT_TRUE(wait_state(tab_.state, [&](const TraceState& st) { return st.hops[0].sent >= sent_at_failure + 2; }));
    settle();

    const TraceState st = snapshot(tab_);
    EXPECT_EQ(st.hops[0].error, kNameDoesNotResolve);
    EXPECT_EQ(st.hops[0].addr, Ipv4Addr::parse(second));
    EXPECT_TRUE(st.events.empty());
    const std::vector<std::string> rows = lines_of(test::read_file(*st.history_file));
    const std::string tail_first = name + ",1," + first + ",", tail_second = name + ",1," + second + ",";
    std::size_t on_first = 0, on_second = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::string t = row_tail(rows[i]);
        on_first += t.rfind(tail_first, 0) == 0;
        on_second += t.rfind(tail_second, 0) == 0;
        // Once moved, no row goes back to the old address.
        if (on_second > 0) {
            EXPECT_NE(t.rfind(tail_first, 0), 0u) << rows[i];
        }
    }
    EXPECT_GE(on_first, 1u);
    EXPECT_GE(on_second, 2u);
}

// A name that doesn't resolve is not pinged, and its thread asks again every
// cycle: once the name appears, the host is pinged from then on. A name with
// only an IPv6 address never is.
TEST_F(WatchSessionNet, NameIsPingedOnlyOnceItResolves) {
    CORVANE_REQUIRE_NETBED();
    NamespaceHosts hosts;
    if (!hosts.usable()) GTEST_SKIP() << "/etc/hosts is not the test namespace's own file";
    netsim::Simulator sim;
    const std::string addr = "10.77.62.1", name = "late.sim.test";
    sim.set_destination(sim_host(addr));
    start({{name, std::nullopt}, {test::kV6OnlyName, "six"}});
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) {
        return st.hops[0].error.has_value() && st.hops[1].error.has_value();
    }));

    const std::int64_t appeared_ms = now_unix_ms();
    hosts.set_extra(addr + "  " + name + "\n");
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.hops[0].received >= 2; }));
    settle();

    const TraceState st = snapshot(tab_);
    const HopStats& late = st.hops[0];
    EXPECT_FALSE(late.error.has_value());
    EXPECT_EQ(late.addr, Ipv4Addr::parse(addr));
    ASSERT_FALSE(late.sample_times.empty());
    EXPECT_GE(late.sample_times.front(), appeared_ms) << "pinged before the name resolved";
    const HopStats& six = st.hops[1];
    EXPECT_EQ(six.error, kNameDoesNotResolve);
    EXPECT_EQ(six.sent, 0u);
    EXPECT_FALSE(six.addr.has_value());
    ASSERT_TRUE(st.history_file.has_value());
    const std::vector<std::string> rows = lines_of(test::read_file(*st.history_file));
    ASSERT_EQ(rows.size(), late.sent + 1);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(row_tail(rows[i]).rfind(name + ",1," + addr + ",", 0), 0u) << rows[i];
}

}  // namespace
}  // namespace corvane
