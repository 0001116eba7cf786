// Watch sessions against a scripted echo layer: the events and rows a host
// produces, and that a stop ends every thread and leaves the file complete.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "engine/duration_text.h"
#include "engine/echo.h"
#include "engine/reverse_lookup.h"
#include "engine/watch_session.h"
#include "engine/watch_tab.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::lines_of;
using test::row_tail;

// Replies handed out one by one as the test pushes them, so the test decides
// when each ping completes. Once closed, every echo fails at once.
class EchoScript {
public:
    void push(EchoReply r) {
        std::lock_guard lock(m_);
        queue_.push_back(r);
        cv_.notify_all();
    }
    void close() {
        std::lock_guard lock(m_);
        closed_ = true;
        cv_.notify_all();
    }
    EchoReply next(Ipv4Addr dest, std::uint8_t ttl) {
        std::unique_lock lock(m_);
        ttls_.push_back(ttl);
        cv_.wait(lock, [&] { return closed_ || !queue_.empty(); });
        if (queue_.empty()) return EchoReply{};
        EchoReply r = queue_.front();
        queue_.pop_front();
        // A reply scripted without an address answers from the destination.
        if (r.addr == Ipv4Addr{}) r.addr = dest;
        return r;
    }
    std::vector<std::uint8_t> ttls() const {
        std::lock_guard lock(m_);
        return ttls_;
    }

private:
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::deque<EchoReply> queue_;
    std::vector<std::uint8_t> ttls_;
    bool closed_ = false;
};

class ScriptedHandle : public IcmpHandle {
public:
    ScriptedHandle(std::shared_ptr<EchoScript> script, bool valid) : script_(std::move(script)), valid_(valid) {}
    bool valid() const override { return valid_; }
    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) override { return script_->next(dest, ttl); }

private:
    std::shared_ptr<EchoScript> script_;
    bool valid_;
};

EchoReply answer(std::uint32_t rtt, Ipv4Addr from = {}) {
    EchoReply r;
    r.failed = false;
    r.reached = true;
    r.addr = from;
    r.rtt_ms = rtt;
    return r;
}
EchoReply timed_out() { return EchoReply{}; }
EchoReply ttl_expired() {
    EchoReply r = answer(3);
    r.reached = false;
    return r;
}

std::size_t thread_count() { return static_cast<std::size_t>(test::process_thread_count()); }

// Waits (bounded, for liveness only) until pred holds on the locked state.
template <typename Pred>
bool wait_state(const SharedTraceState& s, Pred pred, std::chrono::seconds limit = 10s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(s->mutex);
            if (pred(s->state)) return true;
        }
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(2ms);
    }
}


class WatchSession : public ::testing::Test {
protected:
    void SetUp() override {
        baseline_threads_ = static_cast<std::size_t>(test::baseline_thread_count());
        settings_->probe_ms = 1;
        settings_->set_history_dir(dir_.path());
        set_reverse_resolver([](Ipv4Addr) { return std::optional<std::string>(); });
        set_icmp_handle_factory([s = script_, this] { return std::make_unique<ScriptedHandle>(s, handles_valid_); });
    }
    void TearDown() override {
        stop_watch_tab(tab_);
        script_->close();
        EXPECT_TRUE(wait_threads_gone()) << "threads left running";
        set_icmp_handle_factory({});
        set_reverse_resolver({});
    }
    bool wait_threads_gone() {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (thread_count() > baseline_threads_) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    // Lets one scripted ping through and waits until host 0 recorded it.
    void ping(EchoReply r) {
        std::uint32_t before = 0;
        {
            std::lock_guard lock(tab_.state->mutex);
            before = tab_.state->state.hops[0].sent;
        }
        script_->push(r);
        ASSERT_TRUE(wait_state(tab_.state, [&](const TraceState& st) { return st.hops[0].sent == before + 1; }));
    }
    TraceState snapshot() {
        std::lock_guard lock(tab_.state->mutex);
        return clone_trace_state(tab_.state->state);
    }
    // Stops, waits for every thread to end, and returns the history file's lines.
    std::vector<std::string> stop_and_read_history() {
        stop_watch_tab(tab_);
        script_->close();
        EXPECT_TRUE(wait_threads_gone());
        const TraceState st = snapshot();
        if (!st.history_file) return {};
        std::size_t sent = 0;
        for (const HopStats& h : st.hops) sent += h.sent;
        // A thread may still be listed while it exits; give the flush thread's
        // last flush a bounded moment to land. Without it the rows would sit
        // in the buffer for as long as the tab lives.
        std::vector<std::string> lines;
        const auto until = std::chrono::steady_clock::now() + 10s;
        do {
            lines = lines_of(test::read_file(*st.history_file));
            if (lines.size() == sent + 1) break;
            std::this_thread::sleep_for(5ms);
        } while (std::chrono::steady_clock::now() < until);
        return lines;
    }

    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    std::shared_ptr<EchoScript> script_ = std::make_shared<EchoScript>();
    bool handles_valid_ = true;
    WatchTab tab_ = new_watch_tab("Core, routers");
    std::size_t baseline_threads_ = 0;
};

TEST_F(WatchSession, NewTabIsStoppedAndStartsNothing) {
    EXPECT_EQ(snapshot().status, "Stopped");
    EXPECT_TRUE(tab_.stop->load());
    EXPECT_FALSE(tab_.selected.has_value());
    EXPECT_EQ(thread_count(), baseline_threads_);
}

TEST_F(WatchSession, DownAtThirdLossAndBackUpTimedFromFirst) {
    start_watch_tab(tab_, settings_, {{"10.1.2.3", std::nullopt}});
    ASSERT_EQ(snapshot().status, "Watching");

    ping(answer(12));
    ping(timed_out());
    ping(timed_out());
    EXPECT_TRUE(snapshot().events.empty()) << "no event at the second loss";
    ping(timed_out());
    TraceState st = snapshot();
    ASSERT_EQ(st.events.size(), 1u);
    EXPECT_EQ(st.events[0].text, "10.1.2.3 is down");
    EXPECT_EQ(st.events[0].kind, RouteEventKind::HostDown);
    EXPECT_EQ(st.events[0].time_ms, st.hops[0].sample_times[3]);
    ping(timed_out());
    EXPECT_EQ(snapshot().events.size(), 1u) << "further losses only count on";

    ping(answer(20));
    st = snapshot();
    ASSERT_EQ(st.events.size(), 2u);
    const RouteEvent& up = st.events[1];
    EXPECT_EQ(up.kind, RouteEventKind::HostUp);
    EXPECT_EQ(up.time_ms, st.hops[0].sample_times[5]);
    EXPECT_EQ(up.text, "10.1.2.3 is back up after " + format_duration_ms(up.time_ms - st.hops[0].sample_times[1]));

    const HopStats& h = st.hops[0];
    EXPECT_EQ(h.sent, 6u);
    EXPECT_EQ(h.received, 2u);
    EXPECT_EQ(h.addr, Ipv4Addr(10, 1, 2, 3));
    EXPECT_EQ(h.last, 20u);
    for (std::uint8_t ttl : script_->ttls()) EXPECT_EQ(ttl, kWatchTtl);

    // The ping in hand when the stop comes still completes (as a loss here)
    // and writes its row.
    const std::vector<std::string> rows = stop_and_read_history();
    ASSERT_EQ(rows.size(), snapshot().hops[0].sent + 1);
    ASSERT_GE(rows.size(), 7u);
    EXPECT_EQ(rows[0], "time,unix_ms,target,hop,address,rtt_ms,result");
    EXPECT_EQ(row_tail(rows[1]), "10.1.2.3,1,10.1.2.3,12,ok");
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(row_tail(rows[i]), "10.1.2.3,1,10.1.2.3,,lost") << i;
    EXPECT_EQ(row_tail(rows[6]), "10.1.2.3,1,10.1.2.3,20,ok");

    const std::vector<std::string> log = lines_of(test::read_file(dir_.path() / "watch-events.log"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("  Core, routers  10.1.2.3 is down"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("  Core, routers  " + up.text), std::string::npos) << log[1];
}

TEST_F(WatchSession, OnlyTheDestinationsOwnReplyCounts) {
    start_watch_tab(tab_, settings_, {{"10.1.2.3", "Core router"}});
    struct Case {
        const char* what;
        EchoReply reply;
    };
    const Case losses[] = {
        {"reply from another address", answer(5, Ipv4Addr(10, 9, 9, 9))},
        {"router's ttl-expired report", ttl_expired()},
        {"failed echo", timed_out()},
    };
    for (const Case& c : losses) {
        SCOPED_TRACE(c.what);
        ping(c.reply);
        EXPECT_TRUE(sample_lost(snapshot().hops[0].samples.back()));
    }
    ping(answer(9));

    const TraceState st = snapshot();
    EXPECT_EQ(st.hops[0].received, 1u);
    ASSERT_EQ(st.events.size(), 2u);
    EXPECT_EQ(st.events[0].text, "Core router is down");  // the label names the host
    EXPECT_EQ(st.events[1].text.rfind("Core router is back up after ", 0), 0u);

    const std::vector<std::string> rows = stop_and_read_history();
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(row_tail(rows[1]), "Core router,1,10.1.2.3,,lost");
    EXPECT_EQ(row_tail(rows[4]), "Core router,1,10.1.2.3,9,ok");
}

TEST_F(WatchSession, StopEndsEveryThreadAndFlushesEveryRow) {
    settings_->probe_ms = 20;
    script_->close();  // every echo fails at once
    std::vector<WatchHost> hosts;
    for (int i = 1; i <= 6; ++i) hosts.push_back({"10.0.0." + std::to_string(i), std::nullopt});
    start_watch_tab(tab_, settings_, hosts);
    const SharedTraceState state = tab_.state;

    EXPECT_GE(thread_count(), baseline_threads_ + hosts.size() + 1);  // hosts and the flush thread
    ASSERT_TRUE(wait_state(state, [](const TraceState& st) {
        for (const HopStats& h : st.hops)
            if (h.sent < 3) return false;
        return true;
    }));

    const std::vector<std::string> rows = stop_and_read_history();
    const TraceState st = snapshot();
    EXPECT_EQ(st.status, "Stopped");
    std::size_t sent = 0;
    for (const HopStats& h : st.hops) sent += h.sent;
    // Every row of every ping is on disk, the header first.
    EXPECT_EQ(rows.size(), sent + 1);
    EXPECT_EQ(st.events.size(), hosts.size());  // each went down once
}

TEST_F(WatchSession, RestartLeavesTheOldSessionBehind) {
    settings_->probe_ms = 20;
    script_->close();
    start_watch_tab(tab_, settings_, {{"10.0.0.1", std::nullopt}, {"10.0.0.2", std::nullopt}});
    const SharedTraceState old_state = tab_.state;
    const auto old_stop = tab_.stop;
    ASSERT_TRUE(wait_state(old_state, [](const TraceState& st) { return st.hops[1].sent >= 1; }));
    tab_.seen_events = 5;

    start_watch_tab(tab_, settings_, {{"10.0.0.3", "Three"}});
    EXPECT_TRUE(old_stop->load());
    EXPECT_FALSE(tab_.stop->load());
    EXPECT_NE(tab_.state, old_state);
    EXPECT_EQ(tab_.seen_events, 0u);
    const TraceState st = snapshot();
    ASSERT_EQ(st.hops.size(), 1u);
    EXPECT_EQ(st.hops[0].host, "10.0.0.3");
    EXPECT_EQ(st.hops[0].label, "Three");
    EXPECT_TRUE(st.events.empty());

    // The old session's threads end; the new host and flush thread remain.
    // (Judged by the wait itself: a reading after it could catch the new
    // host's short-lived name lookup thread.)
    const auto until = std::chrono::steady_clock::now() + 10s;
    bool settled = false;
    while (!(settled = thread_count() <= baseline_threads_ + 2) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(settled) << thread_count() << " threads, expected " << baseline_threads_ + 2;
}

TEST_F(WatchSession, StartWithoutHostsOnlyStops) {
    settings_->probe_ms = 20;
    script_->close();
    start_watch_tab(tab_, settings_, {{"10.0.0.1", std::nullopt}});
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.hops[0].sent >= 1; }));
    const SharedTraceState state = tab_.state;
    const auto stop = tab_.stop;

    start_watch_tab(tab_, settings_, {});
    EXPECT_TRUE(stop->load());
    EXPECT_EQ(tab_.stop, stop);
    EXPECT_EQ(tab_.state, state);
    EXPECT_EQ(snapshot().status, "Watching");  // untouched, as it was
    EXPECT_TRUE(wait_threads_gone());
}

TEST_F(WatchSession, HostWithoutIcmpHandleSaysSoAndEnds) {
    handles_valid_ = false;
    start_watch_tab(tab_, settings_, {{"10.0.0.1", std::nullopt}});
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.hops[0].error.has_value(); }));
    stop_watch_tab(tab_);
    EXPECT_TRUE(wait_threads_gone());
    const TraceState st = snapshot();
    EXPECT_EQ(st.hops[0].error, kNoIcmpHandle);
    EXPECT_EQ(st.hops[0].sent, 0u);
}

// An interval long enough that a thread still waiting it out would hang the
// test well past its bounds.
constexpr std::uint64_t kHourMs = 3'600'000;

// Every host has pinged once and is waiting out its interval.
bool all_pinged(const SharedTraceState& state, std::uint32_t at_least = 1) {
    return wait_state(state, [&](const TraceState& st) {
        for (const HopStats& h : st.hops)
            if (h.sent < at_least) return false;
        return true;
    });
}

// However the session ends, threads waiting out an hour end at once (within
// the generous bound of wait_threads_gone) rather than at their next ping.
TEST_F(WatchSession, EndingASessionWakesThreadsWaitingOutALongInterval) {
    struct Case {
        const char* what;
        std::function<void(WatchTab&)> end;
        std::size_t threads_left;  // of a session started in its place
    };
    const auto other_settings = std::make_shared<SharedSettings>();
    other_settings->set_probe_ms(kHourMs);
    other_settings->set_history_dir(dir_.path());
    const Case cases[] = {
        {"stop", [](WatchTab& tab) { stop_watch_tab(tab); }, 0},
        {"restart without hosts", [this](WatchTab& tab) { start_watch_tab(tab, settings_, {}); }, 0},
        // The old threads wait on the settings they started with, not the new.
        {"restart on other settings",
         [&](WatchTab& tab) { start_watch_tab(tab, other_settings, {{"10.0.0.9", std::nullopt}}); }, 2},
    };
    settings_->set_probe_ms(kHourMs);
    script_->close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        start_watch_tab(tab_, settings_, {{"10.0.0.1", std::nullopt}, {"10.0.0.2", std::nullopt}});
        ASSERT_TRUE(all_pinged(tab_.state));
        const auto old_stop = tab_.stop;
        c.end(tab_);
        EXPECT_TRUE(old_stop->load());
        // A new session's host looks its name up once on a short-lived
        // thread; count after that lookup has published.
        if (c.threads_left > 0) {
            ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) {
                return st.hops[0].sent >= 1 && !st.dns_cache->empty() && st.dns_pending->empty();
            }));
        }
        const auto until = std::chrono::steady_clock::now() + 10s;
        std::size_t threads = 0;
        while ((threads = thread_count()) > baseline_threads_ + c.threads_left &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(5ms);
        EXPECT_EQ(threads, baseline_threads_ + c.threads_left);
        stop_watch_tab(tab_);
        ASSERT_TRUE(wait_threads_gone());
    }
}

TEST_F(WatchSession, NewIntervalReachesThreadsAlreadyWaiting) {
    settings_->set_probe_ms(kHourMs);
    script_->close();
    start_watch_tab(tab_, settings_, {{"10.0.0.1", std::nullopt}, {"10.0.0.2", std::nullopt}});
    ASSERT_TRUE(all_pinged(tab_.state));

    // The flush thread keeps its one-second beat while the hosts wait: the
    // first rows reach the disk before any stop.
    // A host counts its ping before it writes the row that opens the file.
    ASSERT_TRUE(wait_state(tab_.state, [](const TraceState& st) { return st.history_file.has_value(); }));
    const std::filesystem::path file = *snapshot().history_file;
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (lines_of(test::read_file(file)).size() < 3 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(lines_of(test::read_file(file)).size(), 3u) << "header and one row per host";

    // Without the wake-up both hosts would sit out the hour first.
    settings_->set_probe_ms(20);
    EXPECT_TRUE(all_pinged(tab_.state, 3));
}

}  // namespace
}  // namespace corvane
