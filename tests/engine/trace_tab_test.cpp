#include "engine/trace_tab.h"

#include <gtest/gtest.h>

#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::wait_until;

TEST(TraceTabText, TrimsUnicodeWhiteSpaceOnly) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"", ""},
        {" \t\r\n", ""},
        {"  host.test  ", "host.test"},
        {"\xc2\xa0" "10.0.0.1" "\xe3\x80\x80", "10.0.0.1"},    // no-break space, ideographic space
        {"\xe2\x80\x8b" "a", "\xe2\x80\x8b" "a"},              // zero-width space is not white space
        {"a b", "a b"},
        {"\xff x \xc2", "\xff x \xc2"},                        // stray bytes are text
    };
    for (const auto& c : cases) EXPECT_EQ(trim_white_space(c.in), c.out) << c.in;
}

class TraceTabTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto& stop : stops_) stop->store(true);
        EXPECT_TRUE(wait_until([&] { return echo_.handles_open() == 0; }));
        EXPECT_TRUE(wait_until([&] { return test::process_thread_count() <= threads_before_; }));
    }
    static std::string status(const TraceTab& tab) {
        std::lock_guard lock(tab.state->mutex);
        return tab.state->state.status;
    }

    int threads_before_ = test::baseline_thread_count();
    test::ScriptedEcho echo_{20ms};
    test::ScriptedNames names_;
    test::TempDir dir_;
    SharedSettingsPtr settings_ = std::make_shared<SharedSettings>();
    std::vector<StopFlag> stops_;
};

TEST_F(TraceTabTest, BlankTargetNeverStartsAnything) {
    TraceTab tab = new_trace_tab(" \t ");
    EXPECT_EQ(status(tab), "Enter a target and press Start");
    EXPECT_TRUE(tab.stop->load());
    const SharedTraceState before = tab.state;
    tab.selected_hop = 2;
    tab.seen_events = 3;
    start_trace_tab(tab, settings_);
    stop_trace_tab(tab);
    EXPECT_EQ(tab.state, before);
    EXPECT_EQ(status(tab), "Enter a target and press Start");
    EXPECT_EQ(tab.selected_hop, 2u);
    EXPECT_EQ(tab.seen_events, 3u);
    EXPECT_EQ(echo_.handles_opened(), 0);

    TraceTab named = new_trace_tab("10.1.0.9");
    EXPECT_EQ(status(named), "Starting");
    EXPECT_EQ(named.target, "10.1.0.9");
}

TEST_F(TraceTabTest, RestartGivesANewSessionAndEndsTheOldOne) {
    settings_->probe_ms = 20;
    settings_->set_history_dir(dir_.path());
    const Ipv4Addr dest(10, 1, 0, 9);
    echo_.set_route(dest, test::scripted_route({Ipv4Addr(10, 0, 0, 1)}));
    TraceTab tab = new_trace_tab("10.1.0.9");
    start_trace_tab(tab, settings_);
    stops_.push_back(tab.stop);
    ASSERT_TRUE(wait_until([&] { return status(tab) == "Monitoring"; }));
    ASSERT_TRUE(wait_until([&] {
        std::lock_guard lock(tab.state->mutex);
        return tab.state->state.history_file.has_value();
    }));
    const SharedTraceState old_state = tab.state;
    const StopFlag old_stop = tab.stop;
    tab.selected_hop = 1;
    tab.seen_events = 1;

    start_trace_tab(tab, settings_);
    stops_.push_back(tab.stop);
    EXPECT_TRUE(old_stop->load());
    EXPECT_FALSE(tab.stop->load());
    EXPECT_NE(tab.state, old_state);
    EXPECT_FALSE(tab.selected_hop);
    EXPECT_EQ(tab.seen_events, 0u);
    ASSERT_TRUE(wait_until([&] { return status(tab) == "Monitoring"; }));
    // Old session: one monitor and two probes ended; the new one runs three.
    // (Three open alone is also passed on the way, with an old probe still
    // closing and a new one not yet open.)
    ASSERT_TRUE(wait_until([&] { return echo_.handles_opened() == 6 && echo_.handles_open() == 3; }))
        << echo_.handles_opened() << " opened, " << echo_.handles_open() << " open";
    ASSERT_TRUE(wait_until([&] {
        std::lock_guard lock(tab.state->mutex);
        return tab.state->state.history_file.has_value();
    }));
    std::lock_guard lock_old(old_state->mutex);
    std::lock_guard lock_new(tab.state->mutex);
    EXPECT_EQ(tab.state->state.events.size(), 1u);
    EXPECT_NE(tab.state->state.history_file, old_state->state.history_file);
}

// The window's end stops every session and waits a little, then the process
// exits under threads still starting: whatever they reach must outlive them.
[[noreturn]] void start_sessions_and_exit() {
    test::ScriptedEcho echo{20ms};
    test::ScriptedNames names;
    const Ipv4Addr dest{10, 1, 0, 9};
    echo.set_route(dest, test::scripted_route({Ipv4Addr(10, 0, 0, 1), Ipv4Addr(10, 0, 0, 2)}));
    auto settings = std::make_shared<SharedSettings>();
    settings->save_history = false;
    settings->probe_ms = 20;
    std::vector<TraceTab> tabs;
    for (int i = 0; i < 64; ++i) {
        tabs.push_back(new_trace_tab(dest.to_string()));
        start_trace_tab(tabs.back(), settings);
        // Half are stopped, as the end stops them; the rest are still going,
        // as when the end gives up waiting.
        if (i % 2 == 0) stop_trace_tab(tabs.back());
    }
    std::exit(0);
}

TEST(TraceTabExit, ExitingWhileSessionsStartIsClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(start_sessions_and_exit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace corvane
