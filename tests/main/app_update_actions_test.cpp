// What the frame does with the requests the panels hand back.
#include <gtest/gtest.h>

#include "app_update_test_fakes.h"
#include "engine/watch_session.h"
#include "main/app_update_shutdown.h"
#include "main/saved_lists.h"
#include "support/scripted_echo.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using test::AppFolders;

Ipv4Addr ip(const char* text) { return *Ipv4Addr::parse(text); }

App app_with(std::vector<std::string> traces, std::size_t lists = 0) {
    App app;
    for (auto& t : traces) app.trace_tabs.push_back(new_trace_tab(std::move(t)));
    for (std::size_t i = 0; i < lists; ++i) app.watch_tabs.push_back(new_watch_tab("w" + std::to_string(i)));
    return app;
}

bool running(const StopFlag& s) { return s && !s->load(); }

TEST(AppUpdateActions, TabStripsCloseBeforeTheySelect) {
    AppFolders folders;
    struct Case {
        const char* what;
        PanelActions actions;
        std::size_t traces, active_trace, watches, active_watch;
    };
    const Case cases[] = {
        {"select", {.select_trace_tab = 0, .select_watch_tab = 2}, 3, 0, 3, 2},
        {"a select past the end", {.select_trace_tab = 3, .select_watch_tab = 3}, 3, 1, 3, 1},
        {"close wins over select", {.close_trace_tab = 2, .select_trace_tab = 0, .close_watch_tab = 0,
                                    .select_watch_tab = 2}, 2, 1, 2, 0},
        {"close, and a new tab as well", {.close_trace_tab = 0, .new_trace_tab = true}, 3, 2, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with({"a", "b", "c"}, 3);
        app.active_trace = 1;
        app.active_watch = 1;
        PanelActions a = c.actions;
        apply_panel_actions(app, a);
        EXPECT_EQ(app.trace_tabs.size(), c.traces);
        EXPECT_EQ(app.active_trace, c.active_trace);
        EXPECT_EQ(app.watch_tabs.size(), c.watches);
        EXPECT_EQ(app.active_watch, c.active_watch);
        EXPECT_FALSE(a.close_trace_tab || a.select_trace_tab || a.new_trace_tab) << "requests are used up";
    }
}

TEST(AppUpdateActions, EscapeClosesOnlyTheWindowThatIsHosted) {
    AppFolders folders;
    struct Case {
        ActionSource source;
        bool escape;
        bool editor_open, settings_open;
    };
    const Case cases[] = {
        {ActionSource::ListEditor, true, false, true},
        {ActionSource::Settings, true, true, false},
        {ActionSource::Panel, true, true, true},
        {ActionSource::ListEditor, false, true, true},
    };
    for (const Case& c : cases) {
        App app = app_with({""});
        app.editor_open = app.settings_open = true;
        PanelActions a;
        apply_panel_actions(app, a, c.source, c.escape);
        EXPECT_EQ(app.editor_open, c.editor_open);
        EXPECT_EQ(app.settings_open, c.settings_open);
    }
}

TEST(AppUpdateActions, ClosingSettingsChangesTheHistoryFolderOnlyForAnotherFolder) {
    AppFolders folders;
    const std::filesystem::path old_dir = folders.root() / "old";
    struct Case {
        const char* what;
        std::string text;
        std::filesystem::path want;
    };
    const Case cases[] = {
        {"blank text keeps the folder", " \t", old_dir},
        {"another folder, trimmed", "  " + (folders.root() / "new").string() + " ", folders.root() / "new"},
        {"the same folder spelled with a double slash", folders.root().string() + "//old", old_dir},
        {"the same folder with a trailing slash and a dot", folders.root().string() + "/./old/", old_dir},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with({""});
        set_history_dir(app, old_dir);
        app.history_dir_text = c.text;
        app.settings_open = true;
        PanelActions a{.settings_done = true};
        apply_panel_actions(app, a);
        EXPECT_FALSE(app.settings_open);
        EXPECT_EQ(app.shared->history_dir(), c.want);
    }
}

TEST(AppUpdateActions, ListEditorRequests) {
    const int threads_before = test::baseline_thread_count();
    AppFolders folders;
    test::ScriptedEcho echo;
    test::ScriptedNames names;  // the watched host's name is asked for
    echo.set_route(ip("10.1.0.1"), test::scripted_route({}));
    folders.write_list("Office", "10.1.0.1\n");
    App app = app_with({""});
    app.saved_list_names = list_saved_list_files();

    PanelActions edit{.edit_list = "Office"};
    apply_panel_actions(app, edit);
    EXPECT_TRUE(app.editor_open);
    EXPECT_EQ(app.editor_saved_name, std::optional<std::string>("Office"));
    EXPECT_EQ(app.editor_text, "10.1.0.1\n");

    PanelActions fresh{.new_list = true};
    apply_panel_actions(app, fresh);
    EXPECT_TRUE(app.editor_open);
    EXPECT_FALSE(app.editor_saved_name.has_value());
    EXPECT_EQ(app.editor_name, "");
    EXPECT_EQ(app.editor_text, "");

    // A refused save keeps the editor open and opens nothing.
    PanelActions save{.editor_save_and_watch = true};
    apply_panel_actions(app, save);
    EXPECT_TRUE(app.editor_open);
    EXPECT_TRUE(app.watch_tabs.empty());

    app.editor_name = " Lab ";
    app.editor_text = "10.1.0.1\n";
    save.editor_save_and_watch = true;
    apply_panel_actions(app, save);
    EXPECT_FALSE(app.editor_open);
    ASSERT_EQ(app.watch_tabs.size(), 1u);
    EXPECT_EQ(app.watch_tabs[0].name, "Lab");
    EXPECT_TRUE(running(app.watch_tabs[0].stop));
    EXPECT_EQ(app.view_mode, ViewMode::Watch);

    PanelActions del{.edit_list = "Lab"};
    apply_panel_actions(app, del);
    del.editor_delete = true;
    apply_panel_actions(app, del);
    EXPECT_FALSE(app.editor_open);
    EXPECT_TRUE(app.watch_tabs.empty());
    EXPECT_EQ(app.saved_list_names, std::vector<std::string>{"Office"});
    shut_down_sessions(app, 2s);
    EXPECT_TRUE(test::threads_back_to(threads_before));
}

TEST(AppUpdateActions, TracingAHostFromTheWatchTable) {
    const int threads_before = test::baseline_thread_count();
    AppFolders folders;
    test::ScriptedEcho echo;
    test::ScriptedNames names;
    for (const char* t : {"10.0.0.1", "10.0.0.2"}) echo.set_route(ip(t), test::scripted_route({}));
    struct Case {
        const char* what;
        std::vector<std::string> tabs;
        std::vector<bool> running_before;
        std::string host;
        std::size_t want_active, want_tabs;
        bool restarted;  // the chosen tab got a fresh session
    };
    const Case cases[] = {
        {"a running tab of that host: only shown", {"x", " 10.0.0.1 "}, {false, true}, "10.0.0.1", 1, 2, false},
        {"a stopped tab of that host: started", {"x", "10.0.0.1"}, {false, false}, " 10.0.0.1", 1, 2, true},
        {"the first blank tab takes it", {"x", " ", ""}, {false, false, false}, "10.0.0.2", 1, 3, true},
        {"no blank tab: a new one", {"x"}, {false}, "10.0.0.2", 1, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App app = app_with(c.tabs);
        for (std::size_t i = 0; i < c.tabs.size(); ++i) app.trace_tabs[i].stop->store(!c.running_before[i]);
        app.view_mode = ViewMode::Watch;
        std::vector<SharedTraceState> before;
        for (const TraceTab& t : app.trace_tabs) before.push_back(t.state);
        PanelActions a{.trace_host = c.host};
        apply_panel_actions(app, a);
        EXPECT_EQ(app.view_mode, ViewMode::Trace);
        EXPECT_EQ(app.trace_tabs.size(), c.want_tabs);
        EXPECT_EQ(app.active_trace, c.want_active);
        EXPECT_TRUE(active_trace_running(app));
        const bool fresh = c.want_active >= before.size() || app.trace_tabs[c.want_active].state != before[c.want_active];
        EXPECT_EQ(fresh, c.restarted);
        if (c.restarted) {
            EXPECT_EQ(app.recent.front(), std::string(trim_white_space(c.host)));
        }
        shut_down_sessions(app, 2s);
        EXPECT_TRUE(test::threads_back_to(threads_before));
    }
}

TEST(AppUpdateActions, BackToLiveDropsTheRecordingAndTheHopPickedInIt) {
    AppFolders folders;
    App app = app_with({"", ""});
    app.active_trace = 1;
    app.trace_tabs[0].selected_hop = 2;
    app.trace_tabs[1].selected_hop = 7;
    app.replay.emplace();
    PanelActions a{.back_to_live = true};
    apply_panel_actions(app, a);
    EXPECT_FALSE(app.replay.has_value());
    EXPECT_FALSE(app.trace_tabs[1].selected_hop.has_value());
    EXPECT_EQ(app.trace_tabs[0].selected_hop, 2u);  // other tabs keep theirs
}

}  // namespace
}  // namespace corvane
