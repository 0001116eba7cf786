// Start-up: what the App looks like after reading the last run's settings,
// and which of its tabs are running.
#include <gtest/gtest.h>

#include "engine/clock_text.h"
#include "main/app_new.h"
#include "main/app_update_shutdown.h"
#include "engine/watch_session.h"
#include "main/settings_file.h"
#include "app_update_test_fakes.h"
#include "support/scripted_echo.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::AppFolders;

Ipv4Addr ip(const char* text) { return *Ipv4Addr::parse(text); }

bool running(const StopFlag& stop) { return stop && !stop->load(); }

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

// Every restored session runs against scripted echoes and names; the tests
// end them before their fixtures go.
class AppNew : public ::testing::Test {
protected:
    AppNew() {
        for (const char* t : {"10.0.0.1", "10.0.0.2", "10.0.0.3"}) echo_.set_route(ip(t), test::scripted_route({ip("10.9.0.1")}));
        for (const char* h : {"10.1.0.1", "10.1.0.2"}) echo_.set_route(ip(h), test::scripted_route({}));
        folders_.write_list("Office", "10.1.0.1\n");
        folders_.write_list("Lab", "10.1.0.2\n");
        folders_.write_list("a_b", "10.1.0.2\n");  // the file of the list "a/b"
    }
    ~AppNew() override {
        for (App& app : apps_) shut_down_sessions(app, 2s);
        EXPECT_TRUE(test::threads_back_to(threads_before_));
    }
    App& start(const std::string& settings) {
        folders_.write_settings(settings);
        apps_.push_back(app_new());
        return apps_.back();
    }

    int threads_before_ = test::baseline_thread_count();
    AppFolders folders_;
    test::ScriptedEcho echo_;
    test::ScriptedNames names_;
    std::vector<App> apps_;
};

TEST_F(AppNew, RestoresTheTabsOfTheLastRunOnlyWhenAskedTo) {
    struct Case {
        const char* what;
        std::string settings;
        std::vector<std::string> traces;
        std::size_t active_trace;
        bool traces_run;
        std::vector<std::string> watches;
        std::size_t active_watch;
        ViewMode mode;
    };
    const Case cases[] = {
        {"resume: a saved selection past the tabs selects the last",
         "tabs=10.0.0.1 10.0.0.2 10.0.0.3\nactive_tab=7\nresume=true\n",
         {"10.0.0.1", "10.0.0.2", "10.0.0.3"}, 2, true, {}, 0, ViewMode::Trace},
        {"no resume: one empty tab, selected, whatever was saved",
         "tabs=10.0.0.1 10.0.0.2 10.0.0.3\nactive_tab=2\nresume=false\nwatch_tabs=Office|Lab\nwatch_active=1\n",
         {""}, 0, false, {}, 0, ViewMode::Trace},
        {"resume with no saved tab: one empty tab", "tabs=\nactive_tab=3\nresume=true\n", {""}, 0, false, {}, 0,
         ViewMode::Trace},
        {"lists reopen under the settings' spelling, matched by file name; deleted ones stay closed",
         "tabs=10.0.0.1\nresume=true\nwatch_tabs=office|Gone|Lab|a/b\nwatch_active=9\nmode=watch\n",
         {"10.0.0.1"}, 0, true, {"office", "Lab", "a/b"}, 2, ViewMode::Watch},
        {"the watch view with no list reopened", "tabs=10.0.0.1\nresume=true\nwatch_tabs=Gone\nmode=watch\n",
         {"10.0.0.1"}, 0, true, {}, 0, ViewMode::Watch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const App& app = start(c.settings);
        EXPECT_EQ(targets(app), c.traces);
        EXPECT_EQ(app.active_trace, c.active_trace);
        for (const TraceTab& t : app.trace_tabs) EXPECT_EQ(running(t.stop), c.traces_run) << t.target;
        EXPECT_EQ(names(app), c.watches);
        EXPECT_EQ(app.active_watch, c.active_watch);
        for (const WatchTab& w : app.watch_tabs) EXPECT_TRUE(running(w.stop)) << w.name;
        EXPECT_EQ(app.view_mode, c.mode);
        // The library lists every saved list whether or not it was reopened.
        EXPECT_EQ(app.saved_list_names, (std::vector<std::string>{"a_b", "Lab", "Office"}));
    }
}

TEST_F(AppNew, RestoredSessionsProbeTheirTargets) {
    const App& app = start("tabs=10.0.0.1 10.0.0.2\nresume=true\nwatch_tabs=Office\n");
    ASSERT_EQ(app.trace_tabs.size(), 2u);
    EXPECT_TRUE(test::wait_until([&] {
        return echo_.requests(ip("10.0.0.1"), 2) > 0 && echo_.requests(ip("10.0.0.2"), 2) > 0 &&
               echo_.requests(ip("10.1.0.1"), kWatchTtl) > 0;
    }));
}

TEST_F(AppNew, TakesTheSettingsIntoTheAppAndTheSharedSettings) {
    const std::string text =
        "tabs=\nprobe_ms=2500\nroute_secs=0\nview=signal\nwindow=600\nsound=false\nsound_choice=builtin:pop\n"
        "sound_volume=40\nflash=false\nsave_history=false\nhistory_dir=" +
        folders_.history().string() +
        "\nutc=true\nmaximized=false\nresume=true\nrecent=10.0.0.9 10.0.0.8\n";
    set_clock_utc(false);
    const App& app = start(text);
    EXPECT_EQ(app.shared->probe_ms.load(), 2500u);
    EXPECT_EQ(app.shared->route_secs.load(), 0u);
    EXPECT_EQ(app.shared->history_dir(), folders_.history());
    EXPECT_FALSE(app.shared->save_history.load());
    EXPECT_EQ(app.history_dir_text, folders_.history().string());
    EXPECT_EQ(app.layout_mode, LayoutMode::Signal);
    EXPECT_EQ(app.window_secs, 600u);
    EXPECT_FALSE(app.sound_on);
    EXPECT_FALSE(app.flash_on);
    EXPECT_EQ(app.sound_volume, 40);
    EXPECT_FALSE(app.save_history);
    EXPECT_TRUE(app.utc);
    EXPECT_TRUE(clock_utc()) << "clock texts must follow the saved UTC choice";
    EXPECT_FALSE(app.maximized);
    EXPECT_TRUE(app.theme_pending);
    EXPECT_EQ(app.recent, (std::vector<std::string>{"10.0.0.9", "10.0.0.8"}));
    EXPECT_FALSE(app.keep_settings_backup);
    // Change detection starts from the text of what was loaded, so an
    // unchanged App writes nothing.
    Settings loaded = default_settings();
    parse_settings_ini(text, loaded);
    EXPECT_EQ(app.last_saved_settings, format_settings_ini(loaded));
    set_clock_utc(false);
}

// The loaded defaults and the state after start-up are one and the same
// text, also where the window manager never maximizes the window.
TEST_F(AppNew, WithoutAFileNothingIsWrittenUntilTheUserChangesSomething) {
    apps_.push_back(app_new());
    App& app = apps_.back();
    test::FrameRig rig;
    rig.shell.viewport = {true, false, true, false};
    for (int i = 0; i < 15; ++i) rig.frame(app);
    EXPECT_FALSE(std::filesystem::exists(folders_.settings_file()));

    app.sound_on = false;
    rig.frame(app);
    const std::string saved = test::read_file(folders_.settings_file());
    EXPECT_NE(saved.find("\nsound=false\n"), std::string::npos);
    EXPECT_NE(saved.find("\nmaximized=true\n"), std::string::npos);
}

TEST_F(AppNew, AnUnreadableSettingsFileGivesDefaultsAndIsKeptAtTheFirstSave) {
    App& app = start("tabs=10.0.0.1\nresume=false\n\xff\xfe broken\n");
    EXPECT_TRUE(app.keep_settings_backup);
    EXPECT_EQ(targets(app), (std::vector<std::string>{""}));
    test::FrameRig rig;
    app.sound_on = false;  // something to save
    rig.frame(app);
    EXPECT_NE(test::read_file(settings_backup_path(folders_.settings_file())).find("broken"), std::string::npos);
    EXPECT_NE(test::read_file(folders_.settings_file()).find("sound=false"), std::string::npos);
}

TEST_F(AppNew, AnEmptyTabIsSavedAsNoTarget) {
    App& app = start("tabs=10.0.0.1 10.0.0.2\nresume=false\n");
    test::FrameRig rig;
    app.sound_on = !app.sound_on;  // something to save
    rig.frame(app);
    Settings saved = default_settings();
    parse_settings_ini(test::read_file(folders_.settings_file()), saved);
    EXPECT_TRUE(saved.tabs.empty());
    EXPECT_EQ(saved.active_tab, 0u);
}

}  // namespace
}  // namespace corvane
