#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "main/app.h"
#include "main/saved_lists.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::vector<std::string> targets(const App& app) {
    std::vector<std::string> out;
    for (const auto& t : app.trace_tabs) out.push_back(t.target);
    return out;
}

std::vector<std::string> names(const App& app) {
    std::vector<std::string> out;
    for (const auto& t : app.watch_tabs) out.push_back(t.name);
    return out;
}

// Tabs t0..t(n-1); none is started, but each looks running so closing it
// must visibly stop it.
App app_with_tabs(std::size_t traces, std::size_t watches) {
    App app;
    for (std::size_t i = 0; i < traces; ++i) {
        app.trace_tabs.push_back(new_trace_tab("t" + std::to_string(i)));
        app.trace_tabs.back().stop->store(false);
    }
    for (std::size_t i = 0; i < watches; ++i) {
        app.watch_tabs.push_back(new_watch_tab("w" + std::to_string(i)));
        app.watch_tabs.back().stop->store(false);
    }
    return app;
}

TEST(AppTabs, ClosingATraceTabKeepsTheSelectionOnAnExistingTab) {
    struct Case {
        std::size_t count, selected, close, now_selected;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {4, 2, 0, 1, {"t1", "t2", "t3"}},        // left of the selection: same tab stays selected
        {4, 2, 2, 2, {"t0", "t1", "t3"}},        // the selected one: its right neighbour takes over
        {4, 3, 3, 2, {"t0", "t1", "t2"}},        // the selected last one: the new last
        {4, 1, 3, 1, {"t0", "t1", "t2"}},        // right of the selection
        {4, 0, 0, 0, {"t1", "t2", "t3"}},
        {4, 2, 4, 2, {"t0", "t1", "t2", "t3"}},  // past the end: nothing
        {1, 0, 0, 0, {""}},                      // the only tab: a fresh empty one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " tabs, selected " << c.selected << ", close " << c.close);
        App app = app_with_tabs(c.count, 0);
        app.active_trace = c.selected;
        const StopFlag closed = c.close < c.count ? app.trace_tabs[c.close].stop : nullptr;
        close_trace_tab(app, c.close);
        EXPECT_EQ(targets(app), c.left);
        EXPECT_EQ(app.active_trace, c.now_selected);
        if (closed) {
            EXPECT_TRUE(closed->load());
        }
        EXPECT_EQ(app.trace_tabs.back().stop->load(), c.count == 1);  // the refill is not started
    }
}

TEST(AppTabs, ClosingAWatchTabNeverRefills) {
    struct Case {
        std::size_t count, selected, close, now_selected;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {4, 2, 0, 1, {"w1", "w2", "w3"}},
        {4, 2, 2, 2, {"w0", "w1", "w3"}},
        {4, 3, 3, 2, {"w0", "w1", "w2"}},
        {3, 0, 1, 0, {"w0", "w2"}},
        {2, 1, 5, 1, {"w0", "w1"}},
        {1, 0, 0, 0, {}},
        {0, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " tabs, selected " << c.selected << ", close " << c.close);
        App app = app_with_tabs(1, c.count);
        app.active_watch = c.selected;
        const auto closed = c.close < c.count ? app.watch_tabs[c.close].stop : nullptr;
        close_watch_tab(app, c.close);
        EXPECT_EQ(names(app), c.left);
        EXPECT_EQ(app.active_watch, c.now_selected);
        if (closed) {
            EXPECT_TRUE(closed->load());
        }
    }
}

TEST(AppTabs, AddingATraceTabSelectsItInTheTraceView) {
    App app = app_with_tabs(2, 0);
    app.view_mode = ViewMode::Watch;
    add_trace_tab(app);
    EXPECT_EQ(targets(app), (std::vector<std::string>{"t0", "t1", ""}));
    EXPECT_EQ(app.active_trace, 2u);
    EXPECT_EQ(app.view_mode, ViewMode::Trace);
    EXPECT_FALSE(active_trace_running(app));
    app.active_trace = 1;
    EXPECT_TRUE(active_trace_running(app));
}

TEST(AppTabs, RecentTargetsRule) {
    const std::vector<std::string> twelve{"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11", "a12"};
    struct Case {
        std::vector<std::string> before;
        std::string target;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {{"b"}, "  \tgw.example \n", {"gw.example", "b"}},
        {{"x", "Host.Example", "y", "HOST.EXAMPLE"}, "host.example", {"host.example", "x", "y"}},
        {{"x"}, " \t ", {"x"}},
        {{"\xc3\x84x"}, "\xc3\xa4x", {"\xc3\xa4x", "\xc3\x84x"}},  // only ASCII letters fold
        {{"host"}, "hosts", {"hosts", "host"}},
        {twelve, "new", {"new", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11"}},
        {twelve, "A7", {"A7", "a1", "a2", "a3", "a4", "a5", "a6", "a8", "a9", "a10", "a11", "a12"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> recent = c.before;
        remember_recent_target(recent, c.target);
        EXPECT_EQ(recent, c.after) << "target '" << c.target << "'";
    }
}

TEST(AppTabs, FindWatchTabTrimsTheNameAndFoldsAsciiOnly) {
    App app;
    for (const char* n : {"Office", " lab", "Home", "office"}) app.watch_tabs.push_back(new_watch_tab(n));
    EXPECT_EQ(find_watch_tab(app.watch_tabs, "OFFICE"), 0u);  // the first match
    EXPECT_EQ(find_watch_tab(app.watch_tabs, " \thome  "), 2u);
    EXPECT_EQ(find_watch_tab(app.watch_tabs, "lab"), std::nullopt);  // the stored name is not trimmed
    EXPECT_EQ(find_watch_tab(app.watch_tabs, "Offic"), std::nullopt);
    EXPECT_EQ(find_watch_tab({}, "Office"), std::nullopt);
}

// Sessions that really start: echoes and reverse lookups are scripted, so
// nothing leaves the process.
class AppSessions : public ::testing::Test {
protected:
    void SetUp() override {
        app_.shared->save_history = false;
        app_.shared->set_history_dir(dir_.path() / "history");
        for (int i = 1; i <= 3; ++i) echo_.set_route(Ipv4Addr(10, 2, 0, i), test::scripted_route({}));
        fs::create_directories(lists_dir());
    }
    void TearDown() override {
        for (auto& t : app_.trace_tabs) stop_trace_tab(t);
        for (auto& t : app_.watch_tabs) stop_watch_tab(t);
        EXPECT_TRUE(test::wait_until([&] { return echo_.handles_open() == 0; }));
        EXPECT_TRUE(test::wait_until([&] { return test::process_thread_count() <= threads_before_; }));
    }
    void put_list(const std::string& file, const std::string& text) {
        std::ofstream(lists_dir() / file, std::ios::binary) << text;
    }
    static std::size_t host_count(const WatchTab& tab) {
        std::lock_guard lock(tab.state->mutex);
        return tab.state->state.hops.size();
    }

    int threads_before_ = test::baseline_thread_count();
    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
    test::ScopedEnv localappdata_{"LOCALAPPDATA", dir_.path().string()};
    test::ScriptedEcho echo_{20ms};
    test::ScriptedNames names_;
    App app_;
};

TEST_F(AppSessions, StartingTheActiveTraceRemembersItsTarget) {
    app_.trace_tabs.push_back(new_trace_tab(" 10.2.0.1 "));
    app_.trace_tabs.push_back(new_trace_tab(""));
    app_.recent = {"10.2.0.3", "10.2.0.1"};
    start_active_trace(app_);
    EXPECT_TRUE(active_trace_running(app_));
    EXPECT_EQ(app_.recent, (std::vector<std::string>{"10.2.0.1", "10.2.0.3"}));

    app_.active_trace = 1;
    start_active_trace(app_);  // blank: nothing starts, nothing is remembered
    EXPECT_FALSE(active_trace_running(app_));
    EXPECT_EQ(app_.recent, (std::vector<std::string>{"10.2.0.1", "10.2.0.3"}));

    app_.active_trace = 0;
    app_.trace_tabs[0].target = " ";
    start_active_trace(app_);  // a target blanked after a start stops the session
    EXPECT_FALSE(active_trace_running(app_));
}

TEST_F(AppSessions, OpeningAListReusesItsTabAndStartsItOnlyWhenStopped) {
    put_list("Lab.txt", "10.2.0.1\n10.2.0.2 core\n");
    put_list("Edge.txt", "10.2.0.3\n");
    app_.view_mode = ViewMode::Trace;

    open_watch_list(app_, "lab");
    EXPECT_EQ(app_.view_mode, ViewMode::Watch);
    ASSERT_EQ(names(app_), (std::vector<std::string>{"lab"}));  // named as given
    EXPECT_FALSE(app_.watch_tabs[0].stop->load());
    EXPECT_EQ(host_count(app_.watch_tabs[0]), 2u);

    open_watch_list(app_, "Edge");
    EXPECT_EQ(app_.active_watch, 1u);

    const SharedTraceState running = app_.watch_tabs[0].state;
    app_.view_mode = ViewMode::Trace;
    open_watch_list(app_, "  LAB ");
    EXPECT_EQ(names(app_), (std::vector<std::string>{"lab", "Edge"}));
    EXPECT_EQ(app_.active_watch, 0u);
    EXPECT_EQ(app_.view_mode, ViewMode::Watch);
    EXPECT_EQ(app_.watch_tabs[0].state, running);  // left running, not restarted

    stop_watch_tab(app_.watch_tabs[0]);
    open_watch_list(app_, "Lab");
    EXPECT_NE(app_.watch_tabs[0].state, running);
    EXPECT_FALSE(app_.watch_tabs[0].stop->load());
}

}  // namespace
}  // namespace corvane
