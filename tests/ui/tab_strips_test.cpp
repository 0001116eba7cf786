#include "ui/views/tab_strips.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

#include "headless_imgui.h"
#include "main/saved_lists.h"
#include "support/test_support.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/tab_strip_model.h"
#include "ui/views/tab_strip_popup.h"
#include "ui/views/tab_strip_tab.h"

namespace corvane {
namespace {

constexpr std::int64_t kNow = 1'700'000'000'000;

HopStats hop_with(std::uint32_t sent, std::uint32_t received, std::uint32_t last) {
    HopStats h;
    h.sent = sent;
    h.received = received;
    h.last = last;
    h.rtt_sum = std::uint64_t{received} * last;
    return h;
}

// A watched host whose recent samples say up (answers), down (three losses
// in a row) or degraded (one loss in ten, not at the end).
enum class Host { Up, Down, Degraded, Error, Waiting };
HopStats watched(Host kind) {
    HopStats h;
    if (kind == Host::Waiting) return h;
    if (kind == Host::Error) {
        h.error = "Name does not resolve";
        return h;
    }
    for (int i = 0; i < 10; ++i) {
        const bool lost = (kind == Host::Down && i >= 7) || (kind == Host::Degraded && i == 4);
        hop_stats_record(h, lost ? std::nullopt : std::optional<std::uint32_t>(12), kNow - (10 - i) * 1000);
    }
    return h;
}

TEST(TabStripLook, TraceTabDotSubtitleAndTitle) {
    RouteEvent change;
    change.kind = RouteEventKind::RouteChange;
    RouteEvent info;
    info.kind = RouteEventKind::Info;
    struct Case {
        const char* name;
        std::string target;
        std::vector<HopStats> hops;
        std::vector<RouteEvent> events;
        bool stopped;
        std::string title;
        std::optional<std::string> subtitle;
        Color32 dot;
    };
    const std::vector<Case> cases = {
        {"blank stopped", "  \t", {}, {}, true, "New trace", std::nullopt, palette::waiting_grey},
        {"no hops yet", " 10.0.0.1 ", {}, {}, false, "10.0.0.1", std::nullopt, palette::warn_amber},
        {"destination silent", "10.0.0.1", {hop_with(5, 5, 3), hop_with(5, 0, 0)}, {}, false, "10.0.0.1",
         std::nullopt, palette::warn_amber},
        {"loss exactly 2 %", "10.0.0.1", {hop_with(100, 98, 17)}, {}, false, "10.0.0.1", "17 ms", palette::bad_red},
        {"loss below 2 %, one change", "10.0.0.1", {hop_with(100, 99, 17)}, {info, change}, false, "10.0.0.1",
         "17 ms", palette::warn_amber},
        {"info events only", "10.0.0.1", {hop_with(100, 99, 17)}, {info}, false, "10.0.0.1", "17 ms",
         palette::ok_green},
        {"stopped beats loss", "10.0.0.1", {hop_with(10, 1, 9)}, {change}, true, "10.0.0.1", "9 ms",
         palette::waiting_grey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceState s;
        s.hops = c.hops;
        s.events = c.events;
        const TabLook look = trace_tab_look(s, c.target, c.stopped);
        EXPECT_EQ(look.title, c.title);
        EXPECT_EQ(look.subtitle, c.subtitle);
        EXPECT_EQ(look.dot, c.dot);
    }
}

TEST(TabStripLook, WatchTabCountsHosts) {
    struct Case {
        const char* name;
        std::vector<Host> hosts;
        bool stopped;
        std::string subtitle;
        Color32 dot;
    };
    const std::vector<Case> cases = {
        {"all up", {Host::Up, Host::Up, Host::Up}, false, "3/3 up", palette::ok_green},
        {"one down", {Host::Up, Host::Down, Host::Up}, false, "1 down", palette::bad_red},
        {"error counts as down", {Host::Error, Host::Down}, false, "2 down", palette::bad_red},
        {"degraded", {Host::Up, Host::Degraded}, false, "1/2 up", palette::warn_amber},
        {"all waiting", {Host::Waiting, Host::Waiting}, false, "0/2 up", palette::waiting_grey},
        {"no hosts", {}, false, "0/0 up", palette::waiting_grey},
        {"stopped", {Host::Up, Host::Down}, true, "stopped", palette::waiting_grey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceState s;
        for (Host h : c.hosts) s.hops.push_back(watched(h));
        const TabLook look = watch_tab_look(s, " Office ", c.stopped);
        EXPECT_EQ(look.title, " Office ");  // the list name as stored
        EXPECT_EQ(look.subtitle, c.subtitle);
        EXPECT_EQ(look.dot, c.dot);
    }
}

TEST(TabStripLook, Widths) {
    EXPECT_FLOAT_EQ(tab_width(100, std::nullopt, kTraceTabMaxWidth), 160);
    EXPECT_FLOAT_EQ(tab_width(100, 40.0f, kTraceTabMaxWidth), 210);
    EXPECT_FLOAT_EQ(tab_width(400, 40.0f, kTraceTabMaxWidth), 300);
    EXPECT_FLOAT_EQ(tab_width(400, 40.0f, kWatchTabMaxWidth), 320);

    EXPECT_EQ(open_list_entry_text("Empty", {}), "Empty   \u00B7   0 hosts");
    EXPECT_EQ(open_list_entry_text("Huge", {0, {}, true}), "Huge   \u00B7   file too large");
    EXPECT_FLOAT_EQ(open_list_menu_min_width(120), 240);
    EXPECT_FLOAT_EQ(open_list_menu_min_width(300), 288);

    // The popup opens under the button, shifted left only when it would leave the screen.
    EXPECT_FLOAT_EQ(open_list_popup_left(500, 252, 1400), 500);
    EXPECT_FLOAT_EQ(open_list_popup_left(1148, 252, 1400), 1148);
    EXPECT_FLOAT_EQ(open_list_popup_left(1300, 252, 1400), 1148);
    EXPECT_FLOAT_EQ(open_list_popup_left(100, 500, 300), 0);
}

// --- Drawn strips -----------------------------------------------------------

struct StripHarness {
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel panel;
    ViewServices services;

    explicit StripHarness(PanelId id) {
        panel.spec.id = id;
        panel.rect = {0, 100, 1400, 140};
        panel.content = {24, 100, 1376, 140};
        view.now_ms = kNow;
    }
    void draw() {
        ViewContext ctx{app, view, actions, panel, services};
        if (panel.spec.id == PanelId::TraceTabStrip)
            draw_trace_tab_strip(ctx);
        else
            draw_watch_tab_strip(ctx);
    }
    // Pointer at `at`, pressed in one frame and released in the next; the
    // requests of the release frame are kept.
    void click(ImVec2 at) {
        test::run_frame(at, false, [&] { draw(); });
        test::run_frame(at, true, [&] { draw(); });
        actions = PanelActions{};
        test::run_frame(at, false, [&] { draw(); });
    }
};

// The laid-out tab rectangles, as the strip places them: left to right, 6 apart.
std::vector<Rect> tab_rects(StripHarness& h) {
    std::vector<Rect> out;
    float x = h.panel.content.left;
    const float top = h.panel.content.center().y - kTabHeight / 2;
    for (const TraceTab& tab : h.app.trace_tabs) {
        const TabLook look = trace_tab_look(tab.state->state, tab.target, true);
        const float w = tab_width(layout_text(look.title, {FontFamily::Medium, 12.5f}, {}).size.x, std::nullopt,
                                  kTraceTabMaxWidth);
        out.push_back({x, top, x + w, top + kTabHeight});
        x += w + kTabSpacing;
    }
    return out;
}

bool cross_drawn(const ImDrawData* d, Rect close_area) {
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) {
            const bool cross_colour = v.col == to_imu32(palette::text_secondary) || v.col == to_imu32(palette::text_primary);
            if (cross_colour && close_area.contains({v.pos.x, v.pos.y})) return true;
        }
    return false;
}

TEST(TraceTabStrip, ClicksBecomeRequests) {
    test::ensure_headless_imgui();
    StripHarness h(PanelId::TraceTabStrip);
    for (const char* t : {"10.0.0.1", "10.0.0.2", "10.0.0.3"}) h.app.trace_tabs.push_back(new_trace_tab(t));
    h.app.active_trace = 0;
    const std::vector<Rect> tabs = tab_rects(h);

    h.click(to_im({tabs[1].left + 30, tabs[1].center().y}));
    EXPECT_EQ(h.actions.select_trace_tab, 1u);
    EXPECT_FALSE(h.actions.close_trace_tab);

    // The close button closes without selecting.
    h.click(to_im(tab_close_area(tabs[2]).center()));
    EXPECT_EQ(h.actions.close_trace_tab, 2u);
    EXPECT_FALSE(h.actions.select_trace_tab);

    const Vec2 plus{tabs[2].right + kTabSpacing + 15, tabs[2].center().y};
    h.click(to_im(plus));
    EXPECT_TRUE(h.actions.new_trace_tab);
    EXPECT_FALSE(h.actions.select_trace_tab);
    EXPECT_FALSE(h.actions.close_trace_tab);
}

TEST(WatchTabStrip, ClicksBecomeWatchRequests) {
    test::ensure_headless_imgui();
    StripHarness h(PanelId::WatchTabStrip);
    for (const char* n : {"Home", "Office"}) h.app.watch_tabs.push_back(new_watch_tab(n));
    h.app.active_watch = 0;
    // Both lists are stopped: titled by name, subtitled "stopped".
    std::vector<Rect> tabs;
    float x = h.panel.content.left;
    const float top = h.panel.content.center().y - kTabHeight / 2;
    for (const WatchTab& tab : h.app.watch_tabs) {
        const TabLook look = watch_tab_look(tab.state->state, tab.name, true);
        ASSERT_EQ(look.subtitle, "stopped");
        const float w = tab_width(layout_text(look.title, {FontFamily::Medium, 12.5f}, {}).size.x,
                                  layout_text(*look.subtitle, {FontFamily::Monospace, 11.5f}, {}).size.x,
                                  kWatchTabMaxWidth);
        tabs.push_back({x, top, x + w, top + kTabHeight});
        x += w + kTabSpacing;
    }

    h.click(to_im({tabs[1].left + 30, tabs[1].center().y}));
    EXPECT_EQ(h.actions.select_watch_tab, 1u);
    EXPECT_FALSE(h.actions.close_watch_tab);
    EXPECT_FALSE(h.actions.select_trace_tab);

    h.click(to_im(tab_close_area(tabs[0]).center()));
    EXPECT_EQ(h.actions.close_watch_tab, 0u);
    EXPECT_FALSE(h.actions.select_watch_tab);
    EXPECT_FALSE(h.actions.close_trace_tab);
}

TEST(TraceTabStrip, CrossOnlyOnActiveOrHoveredTab) {
    test::ensure_headless_imgui();
    StripHarness h(PanelId::TraceTabStrip);
    for (const char* t : {"", "", ""}) h.app.trace_tabs.push_back(new_trace_tab(t));
    h.app.active_trace = 1;
    const std::vector<Rect> tabs = tab_rects(h);

    const ImDrawData* d = test::run_frame({700, 600}, false, [&] { h.draw(); });
    EXPECT_FALSE(cross_drawn(d, tab_close_area(tabs[0])));
    EXPECT_TRUE(cross_drawn(d, tab_close_area(tabs[1])));
    EXPECT_FALSE(cross_drawn(d, tab_close_area(tabs[2])));
    EXPECT_TRUE(test::indices_in_range(d));

    d = test::run_frame(to_im({tabs[2].left + 30, tabs[2].center().y}), false, [&] { h.draw(); });
    EXPECT_FALSE(cross_drawn(d, tab_close_area(tabs[0])));
    EXPECT_TRUE(cross_drawn(d, tab_close_area(tabs[2])));
}

TEST(TraceTabStrip, LongTitleStaysWithinItsTab) {
    test::ensure_headless_imgui();
    StripHarness h(PanelId::TraceTabStrip);
    h.app.trace_tabs.push_back(new_trace_tab(std::string(200, 'a')));
    const ImDrawData* d = test::run_frame({700, 600}, false, [&] { h.draw(); });
    // The tab keeps its limit and its title is clipped 26 before its right edge.
    const float right = h.panel.content.left + kTraceTabMaxWidth;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawCmd& cmd : d->CmdLists[l]->CmdBuffer)
            if (cmd.ElemCount > 0 && cmd.ClipRect.z < right) {
                EXPECT_LE(cmd.ClipRect.z, right - 26 + 0.01f);
            }
}

// --- Open-list popup --------------------------------------------------------

class OpenListPopup : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv appdata{"APPDATA", dir.path().string()};
    test::ScopedEnv localappdata{"LOCALAPPDATA", dir.path().string()};

    void write_list(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(lists_dir());
        std::ofstream(list_file_path(name)) << text;
    }
};

// A FIFO would block the frame in open(), a huge file would be read whole
// every frame; neither is a host list.
TEST_F(OpenListPopup, FilesThatAreNoHostListAreNotRead) {
    test::ensure_headless_imgui();
    write_list("Office", "10.0.0.2\n10.0.0.3\n");
    ASSERT_EQ(mkfifo(list_file_path("Pipe").c_str(), 0600), 0);
    write_list("Huge", "");
    std::filesystem::resize_file(list_file_path("Huge"), kMaxListFileBytes + 1);  // sparse: no disk used
    App app;
    app.saved_list_names = list_saved_list_files();
    const std::vector<OpenListMenuRow> rows = open_list_menu_rows(app);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].text, "Huge   \u00B7   file too large");
    EXPECT_EQ(rows[2].text, "Office   \u00B7   2 hosts");
    EXPECT_EQ(rows[3].text, "Pipe   \u00B7   0 hosts");
}

TEST_F(OpenListPopup, OffersOnlyListsThatAreNotOpen) {
    test::ensure_headless_imgui();
    write_list("Home", "10.0.0.1\n");
    write_list("Office", "10.0.0.2\n10.0.0.3\n");
    write_list("Servers", "10.0.0.4, 10.0.0.5 db\n10.0.0.4\n");
    App app;
    app.saved_list_names = {"Home", "Office", "Servers"};
    app.watch_tabs.push_back(new_watch_tab("office"));

    using Kind = OpenListMenuRow::Kind;
    const std::vector<OpenListMenuRow> rows = open_list_menu_rows(app);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].text, "SAVED LISTS");
    EXPECT_EQ(rows[1].text, "Home   \u00B7   1 host");
    EXPECT_EQ(rows[1].list_name, "Home");
    EXPECT_EQ(rows[2].text, "Servers   \u00B7   2 hosts");  // a repeated host counts once
    EXPECT_EQ(rows[3].kind, Kind::Separator);
    EXPECT_EQ(rows[4].text, "New list\u2026");
    EXPECT_EQ(rows[4].color, palette::accent_bright);

    app.watch_tabs.push_back(new_watch_tab("Home"));
    app.watch_tabs.push_back(new_watch_tab("SERVERS"));
    const std::vector<OpenListMenuRow> all_open = open_list_menu_rows(app);
    ASSERT_EQ(all_open.size(), 4u);
    EXPECT_EQ(all_open[1].text, "All saved lists are open");

    app.saved_list_names.clear();
    EXPECT_EQ(open_list_menu_rows(app)[1].text, "None yet");

    const Vec2 size = open_list_menu_size(rows, 240);
    EXPECT_GE(size.x, 240);
    float h = 0;
    for (const auto& r : rows) h += r.height;
    EXPECT_FLOAT_EQ(size.y, h + 8 * 4);
}

TEST_F(OpenListPopup, TogglesPicksAndCloses) {
    test::ensure_headless_imgui();
    write_list("Home", "10.0.0.1\n");
    write_list("Lab", "10.0.0.2\n");
    StripHarness h(PanelId::WatchTabStrip);
    h.app.saved_list_names = {"Home", "Lab"};
    // No watch tab: the button is the first thing in the strip.
    Rect button;
    test::run_frame({0, 0}, false, [&] {
        button = draw_open_list_button({h.panel.content.left, h.panel.content.center().y - 15}, h.app, h.actions);
    });
    EXPECT_GE(button.height(), 30);
    bool open = false;
    auto is_open = [&] {
        test::run_frame({0, 0}, false, [&] { h.draw(); open = open_list_popup_is_open(); });
        return open;
    };
    ASSERT_FALSE(is_open());

    h.click(to_im(button.center()));
    EXPECT_TRUE(is_open());
    h.click(to_im(button.center()));
    EXPECT_FALSE(is_open());

    // Open again and pick the second list: the popup's rows start 6 inside it.
    h.click(to_im(button.center()));
    const std::vector<OpenListMenuRow> rows = open_list_menu_rows(h.app);
    float y = button.bottom + kPopupMargin;
    for (int i = 0; i < 2; ++i) y += rows[static_cast<std::size_t>(i)].height + 8;
    h.click({button.left + 40, y + rows[2].height / 2});
    EXPECT_EQ(h.actions.open_list, "Lab");
    EXPECT_FALSE(is_open());

    // A click anywhere else closes it without a request.
    h.click(to_im(button.center()));
    ASSERT_TRUE(is_open());
    h.click({900, 600});
    EXPECT_FALSE(h.actions.open_list);
    EXPECT_FALSE(h.actions.new_list);
    EXPECT_FALSE(is_open());

    // "New list…" is the last row.
    h.click(to_im(button.center()));
    y = button.bottom + kPopupMargin;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) y += rows[i].height + 8;
    h.click({button.left + 40, y + rows.back().height / 2});
    EXPECT_TRUE(h.actions.new_list);
    EXPECT_FALSE(is_open());
}

TEST_F(OpenListPopup, EscapeCloses) {
    test::ensure_headless_imgui();
    StripHarness h(PanelId::WatchTabStrip);
    h.app.watch_tabs.push_back(new_watch_tab("Home"));
    bool open = false;
    auto frame = [&](ImVec2 at, bool down) {
        test::run_frame(at, down, [&] { h.draw(); open = open_list_popup_is_open(); });
    };
    // The button follows the one tab.
    const TabLook look = watch_tab_look(TraceState{}, "Home", true);
    const float tab_w = tab_width(layout_text(look.title, {FontFamily::Medium, 12.5f}, {}).size.x,
                                  layout_text(*look.subtitle, {FontFamily::Monospace, 11.5f}, {}).size.x,
                                  kWatchTabMaxWidth);
    const ImVec2 at(h.panel.content.left + tab_w + kTabSpacing + 10, h.panel.content.center().y);
    h.click(at);
    frame(at, false);
    ASSERT_TRUE(open);

    ImGuiIO& io = ImGui::GetIO();
    io.KeyMap[ImGuiKey_Escape] = 256;
    io.KeysDown[256] = true;
    frame(at, false);
    io.KeysDown[256] = false;
    frame(at, false);
    EXPECT_FALSE(open);
}

}  // namespace
}  // namespace corvane
