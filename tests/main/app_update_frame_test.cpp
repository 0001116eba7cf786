// The frame's own decisions: window commands, shortcuts, snapshots and
// selections, playback, auto-save and repaint.
#include <gtest/gtest.h>

#include <limits>

#include "app_update_test_fakes.h"
#include "main/settings_file.h"
#include "replay/replay_playback.h"

namespace corvane {
namespace {

using test::AppFolders;
using test::FrameRig;

// Tabs that look as a start would leave them, with no threads behind them.
App app_with_traces(std::vector<std::string> targets) {
    App app;
    for (auto& t : targets) app.trace_tabs.push_back(new_trace_tab(std::move(t)));
    return app;
}

void set_hops(const SharedTraceState& s, std::size_t count) {
    std::lock_guard lock(s->mutex);
    s->state.hops.resize(count);
}

TEST(AppUpdateFrame, MaximizesOnTheThirdFrameAndSendsTheThemeOnce) {
    AppFolders folders;
    for (const bool maximized : {true, false}) {
        SCOPED_TRACE(maximized);
        App app = app_with_traces({""});
        app.maximized = maximized;
        FrameRig rig;
        std::vector<int> maximize_after;
        for (int i = 0; i < 5; ++i) {
            rig.frame(app);
            maximize_after.push_back(rig.shell.maximize_calls);
        }
        const std::vector<int> want = maximized ? std::vector<int>{0, 0, 1, 1, 1} : std::vector<int>(5, 0);
        EXPECT_EQ(maximize_after, want);
        EXPECT_EQ(rig.shell.dark_theme_calls, 1);
        EXPECT_FALSE(app.theme_pending);
        EXPECT_EQ(app.frame_counter, 5u);
        // Every frame asks for the next within 250 ms.
        EXPECT_EQ(rig.shell.repaints, std::vector<double>(5, 0.25));
    }
}

TEST(AppUpdateFrame, TheFrameCounterStopsAtItsLargestValue) {
    AppFolders folders;
    App app = app_with_traces({""});
    app.frame_counter = std::numeric_limits<std::uint32_t>::max() - 1;
    FrameRig rig;
    rig.frame(app);
    rig.frame(app);
    EXPECT_EQ(app.frame_counter, std::numeric_limits<std::uint32_t>::max());
}

// The setting follows the user's changes to the window after frame ten, not
// a window manager that never maximized it.
TEST(AppUpdateFrame, TheMaximizedFlagFollowsTheWindowOnlyAfterFrameTen) {
    AppFolders folders;
    const ViewportInfo maxed{true, true, true, false}, restored{true, false, true, false},
        minimized{true, false, true, true}, unknown{};
    struct Later {
        ViewportInfo viewport;
        bool maximized_after;
    };
    struct Case {
        const char* what;
        bool setting;
        ViewportInfo first_ten;
        std::vector<Later> later;
    };
    const Case cases[] = {
        {"never maximized by the window manager", true, restored, {{restored, true}, {restored, true}}},
        {"maximized, then restored and maximized by the user", true, maxed,
         {{maxed, true}, {restored, false}, {restored, false}, {maxed, true}}},
        {"maximized by the user before frame ten", false, maxed, {{maxed, true}}},
        {"maximized late by the window manager", true, restored, {{restored, true}, {maxed, true}, {restored, false}}},
        {"minimized: its maximized flag says nothing", true, maxed, {{minimized, true}, {maxed, true}}},
        {"minimized state unknown counts as not minimized", true, maxed,
         {{{true, true, false, false}, true}, {{true, false, false, false}, false}}},
        {"maximized state unknown", true, unknown, {{unknown, true}, {{false, false, true, false}, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with_traces({""});
        app.maximized = c.setting;
        FrameRig rig;
        rig.shell.viewport = c.first_ten;
        for (int i = 0; i < 10; ++i) rig.frame(app);
        EXPECT_EQ(app.maximized, c.setting);
        for (std::size_t i = 0; i < c.later.size(); ++i) {
            rig.shell.viewport = c.later[i].viewport;
            rig.frame(app);
            EXPECT_EQ(app.maximized, c.later[i].maximized_after) << "frame " << 11 + i;
        }
    }
}

TEST(AppUpdateFrame, ShortcutsActInTheirOrder) {
    AppFolders folders;
    struct Case {
        const char* what;
        FrameInput input;
        ViewMode mode_before;
        LayoutMode layout;
        bool sound_on;
        std::vector<std::string> tabs;
        std::size_t active;
        ViewMode mode_after;
    };
    const std::vector<std::string> both{"a", "b"};
    const Case cases[] = {
        {"nothing", {}, ViewMode::Trace, LayoutMode::Instrument, true, both, 1, ViewMode::Trace},
        {"Ctrl+2", {.layout_signal = true}, ViewMode::Trace, LayoutMode::Signal, true, both, 1, ViewMode::Trace},
        {"Ctrl+1 and Ctrl+2 in one frame leave Signal",
         {.layout_instrument = true, .layout_signal = true}, ViewMode::Trace, LayoutMode::Signal, true, both, 1,
         ViewMode::Trace},
        {"Ctrl+M", {.toggle_sound = true}, ViewMode::Watch, LayoutMode::Instrument, false, both, 1, ViewMode::Watch},
        {"Ctrl+T in the watch view shows the new tab",
         {.new_tab = true}, ViewMode::Watch, LayoutMode::Instrument, true, {"a", "b", ""}, 2, ViewMode::Trace},
        {"Ctrl+W closes the selected tab", {.close_tab = true}, ViewMode::Trace, LayoutMode::Instrument, true, {"a"},
         0, ViewMode::Trace},
        {"Ctrl+W in the watch view does nothing",
         {.close_tab = true}, ViewMode::Watch, LayoutMode::Instrument, true, both, 1, ViewMode::Watch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with_traces(both);
        app.active_trace = 1;
        app.view_mode = c.mode_before;
        FrameRig rig;
        rig.frame(app, c.input);
        EXPECT_EQ(app.layout_mode, c.layout);
        EXPECT_EQ(app.sound_on, c.sound_on);
        std::vector<std::string> tabs;
        for (const TraceTab& t : app.trace_tabs) tabs.push_back(t.target);
        EXPECT_EQ(tabs, c.tabs);
        EXPECT_EQ(app.active_trace, c.active);
        EXPECT_EQ(app.view_mode, c.mode_after);
    }
}

TEST(AppUpdateFrame, SnapshotsAndSelectionsFollowTheView) {
    AppFolders folders;
    App app = app_with_traces({"a", "b"});
    app.active_trace = 1;
    set_hops(app.trace_tabs[1].state, 4);
    app.watch_tabs.push_back(new_watch_tab("list"));
    set_hops(app.watch_tabs[0].state, 3);
    FrameRig rig;

    struct Case {
        const char* what;
        ViewMode mode;
        std::optional<std::size_t> hop, host;
        std::size_t want_hop, want_host;
    };
    const Case cases[] = {
        {"no selection: the last hop", ViewMode::Trace, std::nullopt, std::nullopt, 3, 0},
        {"a selection inside the table", ViewMode::Trace, 1, std::nullopt, 1, 0},
        {"a selection past the table", ViewMode::Trace, 9, std::nullopt, 3, 0},
        {"watch: the selected host", ViewMode::Watch, std::nullopt, 2, 2, 2},
        {"watch: a host past the list is host 0", ViewMode::Watch, std::nullopt, 3, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.view_mode = c.mode;
        app.trace_tabs[1].selected_hop = c.hop;
        app.watch_tabs[0].selected = c.host;
        rig.frame(app);
        const TraceState& want = c.mode == ViewMode::Trace ? rig.view.trace : rig.view.watch;
        EXPECT_EQ(rig.view.displayed, &want);
        EXPECT_EQ(rig.view.trace.hops.size(), 4u);
        EXPECT_EQ(rig.view.watch.hops.size(), 3u);
        EXPECT_EQ(rig.view.selected_hop, c.want_hop);
        EXPECT_EQ(rig.view.selected_host, c.want_host);
        EXPECT_EQ(rig.view.now_ms, rig.clock_ms);
        EXPECT_FALSE(rig.view.playback_active);
        EXPECT_EQ(rig.view.verdicts.classes.size(), want.hops.size());
        EXPECT_EQ(rig.view.statuses.size(), c.mode == ViewMode::Watch ? 3u : 0u);
    }

    // Without a watch tab the watch view shows a placeholder state.
    app.watch_tabs.clear();
    app.active_watch = 0;
    rig.frame(app);
    EXPECT_EQ(rig.view.watch.status, kNoListOpen);
    EXPECT_TRUE(rig.view.watch.hops.empty());
    EXPECT_EQ(rig.view.selected_host, 0u);
}

TEST(AppUpdateFrame, TheSnapshotIsACopyTakenThisFrame) {
    AppFolders folders;
    App app = app_with_traces({"a"});
    FrameRig rig;
    set_hops(app.trace_tabs[0].state, 2);
    rig.frame(app);
    set_hops(app.trace_tabs[0].state, 5);
    EXPECT_EQ(rig.view.trace.hops.size(), 2u) << "the views must not see the workers' writes mid-frame";
    rig.frame(app);
    EXPECT_EQ(rig.view.trace.hops.size(), 5u);

    // Brought up to date rather than copied whole, it is still all of the
    // state: after new samples, on another tab and back, on a new session's.
    const auto expect_copy_of = [&](const TraceTab& tab, const char* what) {
        std::lock_guard lock(tab.state->mutex);
        EXPECT_TRUE(rig.view.trace == tab.state->state) << what;
    };
    app.trace_tabs.push_back(new_trace_tab("b"));
    set_hops(app.trace_tabs[1].state, 3);
    {
        std::lock_guard lock(app.trace_tabs[0].state->mutex);
        hop_stats_record(app.trace_tabs[0].state->state.hops[4], 17, 1000);
    }
    rig.frame(app);
    expect_copy_of(app.trace_tabs[0], "a new sample");
    app.active_trace = 1;
    rig.frame(app);
    expect_copy_of(app.trace_tabs[1], "another tab");
    app.active_trace = 0;
    rig.frame(app);
    expect_copy_of(app.trace_tabs[0], "back");
    app.trace_tabs[0].state = make_shared_state(new_monitor_state());
    rig.frame(app);
    expect_copy_of(app.trace_tabs[0], "a new session's state");
}

TEST(AppUpdateFrame, ARecordingOfTheViewsKindIsShownAtItsPosition) {
    AppFolders folders;
    App app = app_with_traces({"a"});
    app.shared->route_secs = 30;
    set_hops(app.trace_tabs[0].state, 2);
    ReplaySession replay;
    TraceState fed = new_monitor_state();
    fed.status = "Playback";
    fed.hops.resize(6);
    replay.state = make_shared_state(std::move(fed));
    replay.start_ms = 1000;
    replay.end_ms = 900'000;
    replay.position_ms = 5234.9;
    replay.last_dns_pass = std::chrono::steady_clock::now() + std::chrono::hours(1);
    app.replay = std::move(replay);
    FrameRig rig;

    app.view_mode = ViewMode::Trace;
    rig.frame(app);
    EXPECT_TRUE(rig.view.playback_active);
    EXPECT_EQ(rig.view.displayed, &rig.view.playback);
    EXPECT_EQ(rig.view.displayed->hops.size(), 6u);
    EXPECT_EQ(rig.view.now_ms, 5234);
    EXPECT_EQ(rig.view.route_secs, 0u);
    EXPECT_EQ(rig.view.selected_hop, 5u);

    // A trace recording in the watch view: the live watch state, and the
    // route checks of the live sessions (only the recording has none).
    app.view_mode = ViewMode::Watch;
    rig.frame(app);
    EXPECT_FALSE(rig.view.playback_active);
    EXPECT_EQ(rig.view.displayed, &rig.view.watch);
    EXPECT_EQ(rig.view.now_ms, rig.clock_ms);
    EXPECT_EQ(rig.view.route_secs, 30u);

    // Playing: the position moves and the next frame comes at once.
    app.view_mode = ViewMode::Trace;
    app.replay->playing = true;
    rig.shell.repaints.clear();
    rig.frame(app);
    rig.frame(app);
    ASSERT_FALSE(rig.shell.repaints.empty());
    EXPECT_EQ(rig.shell.repaints.front(), 0.0);

    app.replay.reset();
    rig.frame(app);
    EXPECT_EQ(rig.view.route_secs, 30u);
    EXPECT_TRUE(rig.view.playback.hops.empty()) << "the recording's copy is let go with it";
}

TEST(AppUpdateFrame, TheHistorySwitchReachesTheWorkersEveryFrame) {
    AppFolders folders;
    App app = app_with_traces({""});
    FrameRig rig;
    for (const bool on : {false, true, false}) {
        app.save_history = on;
        rig.frame(app);
        EXPECT_EQ(app.shared->save_history.load(), on);
    }
}

TEST(AppUpdateFrame, SettingsAreWrittenOnlyWhenTheirTextChanges) {
    AppFolders folders;
    App app = app_with_traces({"10.0.0.1", " "});
    app.last_saved_settings = format_settings_ini(live_settings(app));
    FrameRig rig;

    rig.frame(app);
    EXPECT_FALSE(std::filesystem::exists(folders.settings_file())) << "nothing changed, nothing to write";

    app.sound_on = false;
    rig.frame(app);
    ASSERT_TRUE(std::filesystem::exists(folders.settings_file()));
    Settings saved = default_settings();
    parse_settings_ini(test::read_file(folders.settings_file()), saved);
    EXPECT_FALSE(saved.sound);
    EXPECT_EQ(saved.tabs, std::vector<std::string>{"10.0.0.1"});

    std::filesystem::remove(folders.settings_file());
    rig.frame(app);
    EXPECT_FALSE(std::filesystem::exists(folders.settings_file())) << "written once per change";

    // A failed write is tried again on a later frame.
    std::filesystem::create_directories(folders.settings_file());  // a folder where the file should be
    app.layout_mode = LayoutMode::Signal;
    rig.frame(app);
    std::filesystem::remove(folders.settings_file());
    rig.frame(app);
    saved = default_settings();
    parse_settings_ini(test::read_file(folders.settings_file()), saved);
    EXPECT_EQ(saved.view, LayoutMode::Signal);
}

}  // namespace
}  // namespace corvane
