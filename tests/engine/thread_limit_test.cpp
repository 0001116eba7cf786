// Sessions started at the process's thread limit: the program stays up, what
// could not start says why, and what did start runs. Each case runs in a
// child process that drops to a user of its own and lowers RLIMIT_NPROC.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "engine/trace_tab.h"
#include "engine/watch_tab.h"
#include "support/scripted_echo.h"
#include "support/thread_limit.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::wait_until;

const std::string kRefused = "Could not start a probe thread: Resource temporarily unavailable (os error 11)";

// What went wrong in the child, printed for the parent to show.
class Problems {
public:
    void check(bool ok, const std::string& what) {
        if (ok) return;
        ++count_;
        out_ << what << "\n";
    }
    [[noreturn]] void exit() {
        std::fputs(out_.str().c_str(), stderr);
        std::_Exit(count_ == 0 ? 0 : 1);
    }

private:
    std::ostringstream out_;
    int count_ = 0;
};

TraceState snap(const SharedTraceState& s) {
    std::lock_guard lock(s->mutex);
    return clone_trace_state(s->state);
}

bool sent_at_least(const SharedTraceState& s, std::size_t first, std::size_t end, std::uint32_t n) {
    const TraceState st = snap(s);
    if (st.hops.size() < end) return false;
    for (std::size_t i = first; i < end; ++i)
        if (st.hops[i].sent < n) return false;
    return true;
}

struct Bench {
    test::ScriptedEcho echo{20ms};
    test::ScriptedNames names;
    SharedSettingsPtr settings = std::make_shared<SharedSettings>();
    int threads = test::baseline_thread_count();
    Problems problems;

    Bench() {
        settings->save_history = false;
        settings->probe_ms = 20;
        settings->route_secs = 0;
    }
    // Lets every thread go and end, then allows `more` new ones. Lookups wait
    // at the closed gate, so no thread ends while a session starts.
    void next_case(int more) {
        names.open_gate();
        problems.check(test::threads_back_to(threads), "the threads of a case did not end");
        names.close_gate();
        problems.check(test::allow_more_threads(more), "RLIMIT_NPROC could not be set");
    }
};

void nothing_starts(Bench& b) {
    b.next_case(0);
    TraceTab trace = new_trace_tab("10.1.0.9");
    start_trace_tab(trace, b.settings);
    b.problems.check(trace.stop->load(), "a trace without its monitor thread reads as running");
    b.problems.check(snap(trace.state).status == kRefused, "trace status: " + snap(trace.state).status);

    WatchTab watch = new_watch_tab("Lab");
    start_watch_tab(watch, b.settings, {{"10.1.0.1", std::nullopt}, {"10.1.0.2", std::nullopt}});
    b.problems.check(watch.stop->load(), "a list without its flush thread reads as running");
    const TraceState st = snap(watch.state);
    b.problems.check(st.status == kRefused, "watch status: " + st.status);
    for (const HopStats& h : st.hops) b.problems.check(h.error == kRefused, "a host of the list shows no error");
}

// The monitor, one lookup per hop, then probes for the first two hops only.
void trace_past_the_limit(Bench& b) {
    const Ipv4Addr dest{10, 1, 0, 9};
    b.echo.set_route(dest, test::scripted_route({Ipv4Addr(10, 0, 0, 1), Ipv4Addr(10, 0, 0, 2), Ipv4Addr(10, 0, 0, 3)}));
    b.next_case(1 + 4 + 2);
    TraceTab tab = new_trace_tab(dest.to_string());
    start_trace_tab(tab, b.settings);
    b.problems.check(wait_until([&] { return snap(tab.state).status == "Monitoring"; }), "the trace never monitored");
    b.problems.check(wait_until([&] { return sent_at_least(tab.state, 0, 2, 3); }), "started probes do not run");
    const TraceState st = snap(tab.state);
    for (std::size_t i = 0; i < st.hops.size(); ++i) {
        const std::string hop = "hop " + std::to_string(i + 1);
        b.problems.check(st.hops[i].error == (i < 2 ? std::nullopt : std::optional(kRefused)), hop + "'s error");
        if (i >= 2) b.problems.check(st.hops[i].sent == 0, hop + " was probed");
    }
    stop_trace_tab(tab);
}

// The flush thread, then hosts and their lookups as slots allow: the hosts
// from the first refused one on show why, the ones before run.
void watch_past_the_limit(Bench& b) {
    std::vector<WatchHost> hosts;
    for (int i = 1; i <= 12; ++i) {
        const Ipv4Addr a(10, 1, 0, static_cast<std::uint8_t>(i));
        b.echo.set_route(a, test::scripted_route({}));
        hosts.push_back({a.to_string(), "host " + std::to_string(i)});
    }
    b.next_case(5);
    WatchTab tab = new_watch_tab("Big");
    start_watch_tab(tab, b.settings, hosts);
    const TraceState st = snap(tab.state);
    std::size_t started = 0;
    while (started < st.hops.size() && !st.hops[started].error) ++started;
    b.problems.check(started >= 1 && started <= 4, std::to_string(started) + " hosts started on 4 free slots");
    for (std::size_t i = started; i < st.hops.size(); ++i)
        b.problems.check(st.hops[i].error == kRefused, *st.hops[i].label + " shows no refusal");
    b.problems.check(st.status == "Watching" && !tab.stop->load(), "the list stopped: " + st.status);
    b.problems.check(wait_until([&] { return sent_at_least(tab.state, 0, started, 3); }), "started hosts do not run");
    b.problems.check(snap(tab.state).hops.back().sent == 0, "a refused host was pinged");
    stop_watch_tab(tab);
}

[[noreturn]] void start_sessions_at_the_limit() {
    if (!test::become_own_user()) {
        std::fputs("could not switch to a user of our own\n", stderr);
        std::_Exit(2);
    }
    Bench b;
    nothing_starts(b);
    trace_past_the_limit(b);
    watch_past_the_limit(b);
    b.names.open_gate();
    b.problems.check(test::threads_back_to(b.threads), "threads left running after the stops");
    b.problems.exit();
}

TEST(ThreadLimit, WhatCannotStartSaysWhyAndWhatStartedRuns) {
    if (!test::own_user_id()) GTEST_SKIP() << "needs root in a user namespace with spare user ids";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(start_sessions_at_the_limit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace corvane
