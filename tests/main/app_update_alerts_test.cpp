// Alerts: which events raise them, their messages, and one sound and one
// taskbar flash per pass over the tabs of a kind.
#include <gtest/gtest.h>

#include "app_update_test_fakes.h"

namespace corvane {
namespace {

using test::AppFolders;
using test::FrameRig;

void push(const SharedTraceState& s, RouteEventKind kind, std::string text, std::int64_t time_ms = 5,
          std::optional<std::string> detail = std::nullopt) {
    std::lock_guard lock(s->mutex);
    s->state.events.push_back(RouteEvent{std::move(text), std::move(detail), time_ms, kind});
}

App app_with(std::vector<std::string> traces, std::vector<std::string> lists) {
    App app;
    for (auto& t : traces) app.trace_tabs.push_back(new_trace_tab(std::move(t)));
    for (auto& l : lists) app.watch_tabs.push_back(new_watch_tab(l));
    return app;
}

std::vector<std::string> messages(const App& app) {
    std::vector<std::string> out;
    for (const AlertEntry& a : app.alerts) out.push_back(a.message);
    return out;
}

TEST(AppUpdateAlerts, RouteChangesAndHostEventsRaiseAlertsWithTheirTabsName) {
    AppFolders folders;
    struct Case {
        const char* what;
        std::vector<std::string> traces, lists;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"one tab of each: bare texts", {" \u00a010.0.0.1 "}, {"Office"}, {"hop 3 changed", "10.1.0.1 is down"}},
        {"several: the trace target trimmed, the list name as stored",
         {" \u00a010.0.0.1 ", "b"},
         {" Office ", "Lab"},
         {"10.0.0.1: hop 3 changed", " Office : 10.1.0.1 is down"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with(c.traces, c.lists);
        push(app.trace_tabs[0].state, RouteEventKind::Info, "Path discovered, 4 hops");
        push(app.trace_tabs[0].state, RouteEventKind::RouteChange, "hop 3 changed", 77, "Before | After");
        push(app.watch_tabs[0].state, RouteEventKind::Info, "list started");
        push(app.watch_tabs[0].state, RouteEventKind::HostDown, "10.1.0.1 is down", 88);
        FrameRig rig;
        rig.frame(app);
        EXPECT_EQ(messages(app), c.want);
        ASSERT_EQ(app.alerts.size(), 2u);
        EXPECT_EQ(app.alerts[0].kind, RouteEventKind::RouteChange);
        EXPECT_EQ(app.alerts[0].detail, std::optional<std::string>("Before | After"));
        EXPECT_EQ(app.alerts[0].time_ms, 77);
        EXPECT_EQ(app.alerts[1].kind, RouteEventKind::HostDown);
        EXPECT_FALSE(app.alerts[1].detail.has_value());
        EXPECT_EQ(app.alerts[1].time_ms, 88);
        // Every event was looked at, including those that raise nothing.
        EXPECT_EQ(app.trace_tabs[0].seen_events, 2u);
        EXPECT_EQ(app.watch_tabs[0].seen_events, 2u);
    }
}

TEST(AppUpdateAlerts, EveryTabRaisesAlertsWhicheverIsOnView) {
    AppFolders folders;
    App app = app_with({"a", "b", "c"}, {"L0", "L1"});
    app.active_trace = 0;
    app.view_mode = ViewMode::Watch;
    push(app.trace_tabs[2].state, RouteEventKind::RouteChange, "moved");
    push(app.watch_tabs[1].state, RouteEventKind::HostUp, "back");
    push(app.watch_tabs[1].state, RouteEventKind::RouteChange, "not a watch kind");
    FrameRig rig;
    rig.frame(app);
    ASSERT_EQ(app.alerts.size(), 2u);
    EXPECT_EQ(app.alerts[0].source, 2u);
    EXPECT_EQ(app.alerts[0].message, "c: moved");
    EXPECT_EQ(app.alerts[1].source, 1u);
    EXPECT_EQ(app.alerts[1].message, "L1: back");
    EXPECT_EQ(app.alerts[1].kind, RouteEventKind::HostUp);
}

TEST(AppUpdateAlerts, OneSoundAndOneFlashPerPassThatRaisedAlerts) {
    AppFolders folders;
    struct Case {
        const char* what;
        int route_changes, host_events;
        bool sound_on, flash_on;
        int sounds, flashes;
    };
    const Case cases[] = {
        {"ten route changes", 10, 0, true, true, 1, 1},
        {"ten host events", 0, 10, true, true, 1, 1},
        {"both kinds: one per pass", 3, 2, true, true, 2, 2},
        {"sound off", 3, 2, false, true, 0, 2},
        {"flash off", 3, 2, true, false, 2, 0},
        {"nothing new", 0, 0, true, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with({"a", "b"}, {"L"});
        app.sound_on = c.sound_on;
        app.flash_on = c.flash_on;
        app.sound_choice = SoundChoice::builtin_sound(2);
        for (int i = 0; i < c.route_changes; ++i)
            push(app.trace_tabs[i % 2].state, RouteEventKind::RouteChange, "rc" + std::to_string(i));
        for (int i = 0; i < c.host_events; ++i)
            push(app.watch_tabs[0].state, i % 2 ? RouteEventKind::HostUp : RouteEventKind::HostDown, "h");
        FrameRig rig;
        rig.frame(app);
        EXPECT_EQ(app.alerts.size(), static_cast<std::size_t>(c.route_changes + c.host_events));
        EXPECT_EQ(static_cast<int>(rig.sounds.size()), c.sounds);
        for (const SoundChoice& s : rig.sounds) EXPECT_EQ(s, app.sound_choice);
        EXPECT_EQ(rig.shell.attention_calls, c.flashes);

        // The next frame finds nothing new.
        rig.frame(app);
        EXPECT_EQ(app.alerts.size(), static_cast<std::size_t>(c.route_changes + c.host_events));
        EXPECT_EQ(static_cast<int>(rig.sounds.size()), c.sounds);
        EXPECT_EQ(rig.shell.attention_calls, c.flashes);
    }
}

TEST(AppUpdateAlerts, EventsArrivingBetweenFramesAreRaisedOnceEach) {
    AppFolders folders;
    App app = app_with({"a"}, {});
    FrameRig rig;
    push(app.trace_tabs[0].state, RouteEventKind::RouteChange, "first");
    rig.frame(app);
    push(app.trace_tabs[0].state, RouteEventKind::RouteChange, "second");
    push(app.trace_tabs[0].state, RouteEventKind::RouteChange, "third");
    rig.frame(app);
    rig.frame(app);
    EXPECT_EQ(messages(app), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(rig.sounds.size(), 2u);

    // A restarted session starts counting anew with its fresh state.
    app.trace_tabs[0].state = make_shared_state(new_monitor_state());
    app.trace_tabs[0].seen_events = 0;
    push(app.trace_tabs[0].state, RouteEventKind::RouteChange, "after restart");
    rig.frame(app);
    EXPECT_EQ(app.alerts.back().message, "after restart");
}

}  // namespace
}  // namespace corvane
