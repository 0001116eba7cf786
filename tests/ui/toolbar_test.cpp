#include "ui/views/toolbar.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "engine/clock_text.h"
#include "engine/trace_tab.h"
#include "engine/watch_tab.h"
#include "blurred_lines.h"
#include "headless_imgui.h"
#include "pointer_sweep.h"
#include "main/saved_lists.h"
#include "replay/file_picker.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"
#include "ui/field_text.h"
#include "ui/lifetime_key.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/views/toolbar_actions.h"
#include "ui/views/toolbar_row.h"

namespace corvane {

namespace toolbar_testing {

std::vector<SweptItem> sweep(Vec2 from, Vec2 to, const std::function<void()>& build) {
    std::vector<SweptItem> items;
    const bool across = from.y == to.y;
    for (float t = across ? from.x : from.y; t <= (across ? to.x : to.y); t += 2.0f) {
        test::run_frame(across ? ImVec2(t, from.y) : ImVec2(from.x, t), false, build);
        const ImGuiID id = ImGui::GetCurrentContext()->HoveredId;
        if (id == 0) continue;
        if (!items.empty() && items.back().id == id)
            items.back().right = t;
        else
            items.push_back({id, t, t});
    }
    return items;
}

void click_at(ImVec2 at, const std::function<void()>& build) {
    test::run_frame(at, false, build);
    test::run_frame(at, true, build);
    test::run_frame(at, false, build);
}

std::set<ImU32> vertex_colours(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

}  // namespace toolbar_testing

namespace {

using namespace toolbar_testing;
using namespace std::chrono_literals;

constexpr Rect kContent{24, 0, 1376, 60};
constexpr float kRowY = 30.0f;

class CountingPicker : public HistoryFilePicker {
public:
    std::optional<std::filesystem::path> answer;
    std::vector<std::filesystem::path> asked_in;
    std::optional<std::filesystem::path> pick_history_file(const std::filesystem::path& start_dir) override {
        asked_in.push_back(start_dir);
        return answer;
    }
};

// A toolbar over an App whose sessions, if any start, talk to scripted echoes
// and names only; settings and lists live in a temporary folder.
class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensure_headless_imgui();
        ImGui::GetIO().KeyMap[ImGuiKey_Enter] = kEnterKey;
        ImGui::GetIO().KeyMap[ImGuiKey_Escape] = kEscapeKey;
        app.trace_tabs.push_back(new_trace_tab(""));
        app.shared->save_history = false;
        app.shared->set_history_dir(dir.path() / "history");
        echo.set_route(Ipv4Addr(10, 2, 0, 1), test::scripted_route({}));
        echo.set_route(Ipv4Addr(10, 2, 0, 9), test::scripted_route({}));
        set_clock_utc(false);
    }
    void TearDown() override {
        for (auto& t : app.trace_tabs) stop_trace_tab(t);
        for (auto& t : app.watch_tabs) stop_watch_tab(t);
        EXPECT_TRUE(test::wait_until([&] { return echo.handles_open() == 0; }));
        // A monitor thread stopped before it opened its handle still runs.
        EXPECT_TRUE(test::wait_until([&] { return test::process_thread_count() <= threads_before; }));
        set_clock_utc(false);
        // Leave no drop-down open for the next test.
        test::run_frame({0, 0}, false, [] {});
        ImGui::GetIO().KeysDown[kEscapeKey] = true;
        test::run_frame({0, 0}, false, build_fn());
        ImGui::GetIO().KeysDown[kEscapeKey] = false;
    }

    std::function<void()> build_fn() {
        return [this] { draw_top_toolbar(app, kContent, &picker); };
    }
    void frame(ImVec2 mouse = {0, 0}, bool down = false) { test::run_frame(mouse, down, build_fn()); }
    void click(ImVec2 at) { click_at(at, build_fn()); }
    // The id an item of the toolbar registers under `name`.
    ImGuiID id_of(const char* name) {
        ImGuiID id = 0;
        test::run_frame({0, 0}, false, [&] { id = ImGui::GetID(name); });
        return id;
    }
    std::vector<SweptItem> column(float x, float from_y, float to_y) {
        return toolbar_testing::sweep({x, from_y}, {x, to_y}, build_fn());
    }
    std::vector<SweptItem> sweep() { return toolbar_testing::sweep({0, kRowY}, {1400, kRowY}, build_fn()); }
    static std::optional<SweptItem> find(const std::vector<SweptItem>& items, ImGuiID id) {
        for (const auto& i : items)
            if (i.id == id) return i;
        return std::nullopt;
    }
    static ImVec2 centre(const SweptItem& i) { return {(i.left + i.right) / 2, kRowY}; }
    // The id of the active tab's target field, which follows the tab.
    ImGuiID target_field_id() {
        ImGuiID id = 0;
        test::run_frame({0, 0}, false, [&] {
            ImGui::PushID(lifetime_key(app.trace_tabs[app.active_trace].state));
            id = ImGui::GetID("##target");
            ImGui::PopID();
        });
        return id;
    }
    ImVec2 target_field_centre() {
        const std::optional<SweptItem> field = find(sweep(), target_field_id());
        EXPECT_TRUE(field);
        return field ? centre(*field) : ImVec2{};
    }
    // Ctrl and the key ImGui knows as `key`, down for one frame.
    void press_ctrl(ImGuiKey key, ImVec2 at) {
        ImGuiIO& io = ImGui::GetIO();
        io.KeyMap[key] = kLetterKeys + key;
        io.KeyCtrl = io.KeysDown[kLetterKeys + key] = true;
        frame(at);
        io.KeyCtrl = io.KeysDown[kLetterKeys + key] = false;
        frame(at);
    }

    static constexpr int kEscapeKey = 300;
    static constexpr int kEnterKey = 301;
    static constexpr int kLetterKeys = 400;  // + ImGuiKey_A and the like

    int threads_before = test::baseline_thread_count();
    test::TempDir dir;
    test::ScopedEnv appdata{"APPDATA", dir.path().string()};
    test::ScopedEnv localappdata{"LOCALAPPDATA", dir.path().string()};
    test::ScriptedEcho echo{20ms};
    test::ScriptedNames names;
    CountingPicker picker;
    App app;
};

// --- Texts and App changes -------------------------------------------------

TEST(ToolbarText, IntervalLabelsComeFromTheTablesOrAQuestionMark) {
    struct Case {
        std::span<const IntervalChoice> table;
        std::uint64_t value;
        std::string label;
    };
    const Case cases[] = {
        {probe_interval_choices, 500, "0.5 s"},  {probe_interval_choices, 60000, "60 s"},
        {probe_interval_choices, 750, "?"},      {probe_interval_choices, 0, "?"},
        {route_interval_choices, 0, "Off"},      {route_interval_choices, 60, "1 min"},
        {route_interval_choices, 900, "15 min"}, {route_interval_choices, 1000, "?"},
    };
    for (const Case& c : cases) EXPECT_EQ(interval_label(c.table, c.value), c.label) << c.value;
}

TEST(ToolbarFit, TheTargetFieldGivesWayFirstThenTheGaps) {
    struct Case {
        float available, target, gap_scale;
    };
    // 1000 of items, 150 of gaps, a 200 field with a floor of 180.
    for (const Case c : {Case{1400, 200, 1}, Case{1350, 200, 1}, Case{1340, 190, 1}, Case{1330, 180, 1},
                         Case{1270, 180, 0.6f}, Case{1000, 180, toolbar_kit::kMinGapScale}}) {
        const toolbar_kit::RowFit fit = toolbar_kit::fit_row(c.available, 1000, 150, 200, 180);
        EXPECT_FLOAT_EQ(fit.flexible_width, c.target) << c.available;
        EXPECT_FLOAT_EQ(fit.gap_scale, c.gap_scale) << c.available;
    }
    // A floor above the field's own width never widens it.
    EXPECT_FLOAT_EQ(toolbar_kit::fit_row(100, 1000, 150, 200, 300).flexible_width, 200);
}

TEST(ToolbarActions, ClockChoiceSetsTheAppAndTheProcessWideFlag) {
    App app;
    choose_clock_utc(app, true);
    EXPECT_TRUE(app.utc);
    EXPECT_TRUE(clock_utc());
    EXPECT_NE(format_clock_time(0, true).find(" UTC"), std::string::npos);
    choose_clock_utc(app, false);
    EXPECT_FALSE(app.utc);
    EXPECT_FALSE(clock_utc());
}

TEST(ToolbarActions, WatchButtonNeedsAnOpenList) {
    App app;
    EXPECT_EQ(active_watch_running(app), std::nullopt);
    toggle_active_watch(app);  // nothing to act on: no crash, nothing added
    EXPECT_TRUE(app.watch_tabs.empty());
    app.watch_tabs.push_back(new_watch_tab("Lab"));
    EXPECT_EQ(active_watch_running(app), false);
    app.active_watch = 3;  // out of range: treated as no list
    EXPECT_EQ(active_watch_running(app), std::nullopt);
}

// --- The drawn toolbar -----------------------------------------------------

TEST_F(ToolbarTest, WatchViewShowsStartStopOnlyWithAList) {
    app.view_mode = ViewMode::Watch;
    auto items = sweep();
    EXPECT_FALSE(find(items, id_of("start_stop")));
    ASSERT_TRUE(find(items, id_of("new_list")));
    ASSERT_TRUE(find(items, id_of("probe_iv_w")));
    EXPECT_FALSE(find(items, id_of("route_iv")));

    // Right end: clock (2 segments), playback, sound, settings; no layout switch.
    const float ping_right = find(items, id_of("probe_iv_w"))->right;
    const auto right_items = std::count_if(items.begin(), items.end(), [&](auto& i) { return i.left > ping_right; });
    EXPECT_EQ(right_items, 5);

    click(centre(*find(items, id_of("new_list"))));
    EXPECT_TRUE(app.editor_open);

    // With a list open its Start/Stop button comes first.
    app.watch_tabs.push_back(new_watch_tab("Lab"));
    items = sweep();
    const std::optional<SweptItem> start = find(items, id_of("start_stop"));
    ASSERT_TRUE(start);
    EXPECT_LT(start->right, find(items, id_of("new_list"))->left);
    EXPECT_NEAR(start->right - start->left, 88, 2.5);
}

TEST_F(ToolbarTest, TraceViewHasTheLayoutSwitchToo) {
    auto items = sweep();
    const std::optional<SweptItem> route = find(items, id_of("route_iv"));
    ASSERT_TRUE(route);
    ASSERT_TRUE(find(items, id_of("probe_iv")));
    const auto right_items = std::count_if(items.begin(), items.end(), [&](auto& i) { return i.left > route->right; });
    EXPECT_EQ(right_items, 7);

    // Clicking "Signal" (the layout switch's second segment) sets the layout.
    std::vector<SweptItem> right;
    for (auto& i : items)
        if (i.left > route->right) right.push_back(i);
    click(centre(right[3]));
    EXPECT_EQ(app.layout_mode, LayoutMode::Signal);
    // Clicking "UTC" sets both the App and the clock texts' flag.
    click(centre(right[1]));
    EXPECT_TRUE(app.utc);
    EXPECT_TRUE(clock_utc());
}

// At the narrowest window the row holds more than fits: the target field
// narrows to what its hint needs, then the gaps close up; every item stays
// whole and the right-hand group still ends at the margin.
TEST_F(ToolbarTest, TheNarrowestWindowKeepsEveryItemWholeAndApart) {
    constexpr Rect kNarrow{24, 0, 1216, 60};
    app.shared->route_secs = 900;  // the longest interval label
    const auto items = toolbar_testing::sweep({0, kRowY}, {1240, kRowY}, [this] { draw_top_toolbar(app, kNarrow, &picker); });
    // View, layout and clock switches (two segments each), field, menu
    // button, Start, two drop-downs, three icon buttons.
    ASSERT_EQ(items.size(), 14u);
    for (std::size_t i = 1; i < items.size(); ++i) EXPECT_LT(items[i - 1].right, items[i].left) << i;
    EXPECT_GE(items.front().left, kNarrow.left);
    EXPECT_NEAR(items.back().right, kNarrow.right, 2.5);

    const std::optional<SweptItem> field = find(items, target_field_id());
    ASSERT_TRUE(field);
    const float hint = layout_text("Target: host or IPv4", {FontFamily::Monospace, 14.0f}, palette::text_primary).size.x;
    EXPECT_NEAR(field->right - field->left, hint + 20, 2.5);
}

// Narrowed gaps leave the row's items at fractions of a point; their outlines
// still land on whole pixels, at every display scale.
TEST_F(ToolbarTest, OutlinesStayCrispAsTheRowNarrows) {
    app.shared->route_secs = 900;
    ImGuiIO& io = ImGui::GetIO();
    for (const float scale : {1.0f, 1.5f, 2.0f}) {
        io.DisplayFramebufferScale = ImVec2(scale, scale);
        for (float right = 1216; right <= 1300; right += 7) {  // windows 1240 to 1324 wide
            const Rect content{24, 0, right, 60};
            const ImDrawData* d = test::run_frame({0, 0}, false, [&] {
                feather_one_pixel();
                draw_top_toolbar(app, content, &picker);
            });
            for (const test::BlurredLine& l : test::blurred_lines(d, scale))
                ADD_FAILURE() << "scale " << scale << ", row ending at " << right << ": the line from " << l.from.x
                              << "," << l.from.y << " to " << l.to.x << "," << l.to.y << " lies between pixels";
        }
    }
    io.DisplayFramebufferScale = ImVec2(1, 1);
}

TEST_F(ToolbarTest, RightEndButtonsActOnTheApp) {
    auto items = sweep();
    const std::optional<SweptItem> settings = find(items, id_of("settings"));
    const std::optional<SweptItem> sound = find(items, id_of("sound"));
    const std::optional<SweptItem> playback = find(items, id_of("playback"));
    ASSERT_TRUE(settings && sound && playback);
    EXPECT_NEAR(settings->right, kContent.right, 2.5);
    EXPECT_LT(sound->right, settings->left);
    EXPECT_LT(playback->right, sound->left);

    click(centre(*settings));
    EXPECT_TRUE(app.settings_open);
    click(centre(*settings));
    EXPECT_FALSE(app.settings_open);

    // Muting turns the button's border and icon orange.
    const auto colours_before = vertex_colours(test::run_frame({0, 0}, false, build_fn()));
    EXPECT_FALSE(colours_before.count(to_imu32(palette::muted_border)));
    click(centre(*sound));
    EXPECT_FALSE(app.sound_on);
    const auto colours_after = vertex_colours(test::run_frame({0, 0}, false, build_fn()));
    EXPECT_TRUE(colours_after.count(to_imu32(palette::muted_border)));
    // ...and keeps it orange while hovered, where the other buttons turn 70.
    const auto muted_hovered = vertex_colours(test::run_frame(centre(*sound), false, build_fn()));
    EXPECT_TRUE(muted_hovered.count(to_imu32(palette::muted_border)));
    EXPECT_FALSE(muted_hovered.count(to_imu32(palette::border_hover)));
    const auto settings_hovered = vertex_colours(test::run_frame(centre(*settings), false, build_fn()));
    EXPECT_TRUE(settings_hovered.count(to_imu32(palette::border_hover)));

    click(centre(*sound));
    EXPECT_TRUE(app.sound_on);
    EXPECT_FALSE(vertex_colours(test::run_frame({0, 0}, false, build_fn())).count(to_imu32(palette::muted_border)));
}

TEST_F(ToolbarTest, PlaybackButtonAsksForAFileInTheHistoryFolder) {
    const std::optional<SweptItem> playback = find(sweep(), id_of("playback"));
    ASSERT_TRUE(playback);
    click(centre(*playback));  // cancelled: nothing changes
    ASSERT_EQ(picker.asked_in.size(), 1u);
    EXPECT_EQ(picker.asked_in[0], dir.path() / "history");
    EXPECT_FALSE(app.replay.has_value());
    EXPECT_FALSE(app.error_banner.has_value());

    picker.answer = dir.path() / "missing.csv";
    click(centre(*playback));  // unreadable: the error banner says so
    EXPECT_FALSE(app.replay.has_value());
    EXPECT_TRUE(app.error_banner.has_value());
}

TEST_F(ToolbarTest, IntervalChoiceIsStoredAtOnceAndSharedByBothViews) {
    const std::optional<SweptItem> probe = find(sweep(), id_of("probe_iv"));
    ASSERT_TRUE(probe);
    EXPECT_GE(probe->right - probe->left, 110);
    click(centre(*probe));  // opens the drop-down below it
    const auto rows = column(probe->left + 20, 50, 700);
    ASSERT_EQ(rows.size(), probe_interval_choices.size());
    click({probe->left + 20, (rows[3].left + rows[3].right) / 2});
    EXPECT_EQ(app.shared->probe_ms.load(), 5000u);
    // The click closed it.
    EXPECT_TRUE(column(probe->left + 20, 50, 700).empty());

    // The watch view's drop-down edits the same value.
    app.view_mode = ViewMode::Watch;
    const std::optional<SweptItem> probe_w = find(sweep(), id_of("probe_iv_w"));
    ASSERT_TRUE(probe_w);
    click(centre(*probe_w));
    const auto rows_w = column(probe_w->left + 20, 50, 700);
    ASSERT_EQ(rows_w.size(), probe_interval_choices.size());
    click({probe_w->left + 20, (rows_w[0].left + rows_w[0].right) / 2});
    EXPECT_EQ(app.shared->probe_ms.load(), 500u);
}

TEST_F(ToolbarTest, RecentTargetsToggleChooseAndClear) {
    app.recent = {"10.2.0.9", "10.2.0.1"};
    const std::optional<SweptItem> button = find(sweep(), id_of("recent_targets"));
    ASSERT_TRUE(button);
    const float x = button->left + 40;  // inside the menu, which is at least 240 wide

    click(centre(*button));
    auto rows = column(x, 50, 800);
    ASSERT_EQ(rows.size(), 3u);  // two targets and "Clear list"
    click(centre(*button));      // the button closes it again
    EXPECT_TRUE(column(x, 50, 800).empty());

    // Picking a target puts it in the field and starts it in the same frame.
    click(centre(*button));
    rows = column(x, 50, 800);
    ASSERT_EQ(rows.size(), 3u);
    click({x, (rows[0].left + rows[0].right) / 2});
    EXPECT_EQ(app.trace_tabs[0].target, "10.2.0.9");
    EXPECT_TRUE(active_trace_running(app));
    EXPECT_TRUE(column(x, 50, 800).empty());

    // "Clear list" empties it; the menu then holds no rows to click.
    click(centre(*button));
    rows = column(x, 50, 800);
    ASSERT_EQ(rows.size(), 3u);
    click({x, (rows[2].left + rows[2].right) / 2});
    EXPECT_TRUE(app.recent.empty());
    click(centre(*button));
    EXPECT_TRUE(column(x, 50, 800).empty());
}

TEST_F(ToolbarTest, RecentTargetsCloseOnEscapeAndOnAClickAway) {
    app.recent = {"10.2.0.9"};
    const std::optional<SweptItem> button = find(sweep(), id_of("recent_targets"));
    ASSERT_TRUE(button);
    const float x = button->left + 40;

    click(centre(*button));
    ASSERT_EQ(column(x, 50, 800).size(), 2u);
    ImGuiIO& io = ImGui::GetIO();
    io.KeysDown[kEscapeKey] = true;
    frame();
    io.KeysDown[kEscapeKey] = false;
    EXPECT_TRUE(column(x, 50, 800).empty());

    // A click on an empty stretch of the toolbar closes it and chooses nothing.
    click(centre(*button));
    ASSERT_EQ(column(x, 50, 800).size(), 2u);
    click({1000, 56});
    EXPECT_TRUE(column(x, 50, 800).empty());
    EXPECT_EQ(app.trace_tabs[0].target, "");
    EXPECT_FALSE(active_trace_running(app));
}

TEST_F(ToolbarTest, EnterStartsTheTypedTargetAndClickingAwayDoesNot) {
    ImGuiIO& io = ImGui::GetIO();
    const auto items = sweep();
    const std::optional<SweptItem> field = find(items, target_field_id());
    ASSERT_TRUE(field);
    const SweptItem f = *field;
    EXPECT_NEAR(f.right - f.left, 200, 2.5);

    click(centre(f));
    for (char c : std::string("10.2.0.1")) io.AddInputCharacter(static_cast<unsigned>(c));
    frame(centre(f));
    EXPECT_EQ(app.trace_tabs[0].target, "10.2.0.1");
    click({700, 50});  // elsewhere: the field lets go, nothing starts
    EXPECT_FALSE(active_trace_running(app));

    click(centre(f));
    io.KeysDown[kEnterKey] = true;
    frame(centre(f));
    io.KeysDown[kEnterKey] = false;
    EXPECT_TRUE(active_trace_running(app));
    EXPECT_EQ(app.recent.front(), "10.2.0.1");
}

// Ctrl+W, a close or Ctrl+T while the target is being edited: the edit ends
// with the tab it began in, and no tab gets another's text.
TEST_F(ToolbarTest, AnEditEndsWithItsTab) {
    ImGuiIO& io = ImGui::GetIO();
    const ImVec2 field = target_field_centre();
    const auto after_change = [&] {
        frame(field);
        io.AddInputCharacter('x');  // reaches no field
        frame(field);
    };
    app.trace_tabs[0].target = "alpha";
    app.trace_tabs.push_back(new_trace_tab("beta"));
    click(field);
    close_trace_tab(app, 0);
    after_change();
    ASSERT_EQ(app.trace_tabs.size(), 1u);
    EXPECT_EQ(app.trace_tabs[0].target, "beta");

    click(field);  // the only tab: a fresh empty one takes its place
    close_trace_tab(app, 0);
    after_change();
    EXPECT_EQ(app.trace_tabs[0].target, "");

    app.trace_tabs[0].target = "gamma";
    click(field);
    add_trace_tab(app);
    after_change();
    EXPECT_EQ(app.trace_tabs[0].target, "gamma");
    EXPECT_EQ(app.trace_tabs[1].target, "");
}

// Characters beyond U+FFFF survive focusing, typing, pasting and copying,
// and no NUL is left behind.
TEST_F(ToolbarTest, TheTargetKeepsEveryCharacter) {
    ImGuiIO& io = ImGui::GetIO();
    const ImVec2 field = target_field_centre();
    const std::string target = "x\U0001F600.example";
    app.trace_tabs[0].target = target;
    click(field);
    frame(field);
    click({700, 50});
    EXPECT_EQ(app.trace_tabs[0].target, target);

    app.trace_tabs[0].target = "";
    click(field);
    ImGui::SetClipboardText("a\U0001F600b");
    press_ctrl(ImGuiKey_V, field);
    add_typed_character(io, 0x1F4F6);
    frame(field);
    EXPECT_EQ(app.trace_tabs[0].target, "a\U0001F600b\U0001F4F6");
    ImGui::SetClipboardText("");
    press_ctrl(ImGuiKey_A, field);
    press_ctrl(ImGuiKey_C, field);
    EXPECT_STREQ(ImGui::GetClipboardText(), "a\U0001F600b\U0001F4F6");
}

TEST_F(ToolbarTest, StartStopButtonStopsARunningTrace) {
    const std::optional<SweptItem> button = find(sweep(), id_of("start_stop"));
    ASSERT_TRUE(button);
    click(centre(*button));  // a blank target starts nothing and is not remembered
    EXPECT_FALSE(active_trace_running(app));
    EXPECT_TRUE(app.recent.empty());

    app.trace_tabs[0].target = "10.2.0.1";
    start_active_trace(app);
    ASSERT_TRUE(active_trace_running(app));
    click(centre(*button));
    EXPECT_FALSE(active_trace_running(app));
    click(centre(*button));
    EXPECT_TRUE(active_trace_running(app));
}

TEST_F(ToolbarTest, WatchStartStopButtonRunsTheActiveList) {
    std::filesystem::create_directories(lists_dir());
    std::ofstream(lists_dir() / "Lab.txt", std::ios::binary) << "10.2.0.1\n";
    app.view_mode = ViewMode::Watch;
    app.watch_tabs.push_back(new_watch_tab("Lab"));
    ASSERT_EQ(active_watch_running(app), false);
    const std::optional<SweptItem> button = find(sweep(), id_of("start_stop"));
    ASSERT_TRUE(button);
    click(centre(*button));
    EXPECT_EQ(active_watch_running(app), true);
    click(centre(*button));
    EXPECT_EQ(active_watch_running(app), false);
    EXPECT_FALSE(active_trace_running(app));  // the trace tab is left alone
}

}  // namespace
}  // namespace corvane
