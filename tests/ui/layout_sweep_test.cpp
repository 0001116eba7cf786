// Every view of the window, drawn as the program draws it at the smallest,
// the default and a large window size: no two pointer targets share a point,
// each lies whole inside its panel, no text is cut at the edge of its box,
// no 1-point line falls between pixels, and every tooltip, hover box and
// popup they open fits the window and stays inside it.
//
// A new view is one more row of kViews: what to put in the App (and,
// optionally, what to do once it is on screen).
#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "blurred_lines.h"
#include "engine/route_change.h"
#include "headless_imgui.h"
#include "main/app_update_test_fakes.h"
#include "main/saved_lists.h"
#include "replay/history_loader.h"
#include "support/scripted_echo.h"
#include "ui/app_frame.h"
#include "ui/item_log.h"

namespace corvane {
namespace {

using Clock = std::chrono::system_clock;

std::int64_t wall_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// --- What the views show: long names, every kind of row, full tables ---------

constexpr const char* kLongName = "a-rather-long-destination-name.customer-edge.region-west-2.example.net";

HopStats probed(std::optional<Ipv4Addr> addr, std::optional<std::string> name, std::uint32_t base_ms,
                int loss_every, std::int64_t now) {
    HopStats h;
    h.addr = addr;
    h.name = std::move(name);
    for (int i = 0; i < 700; ++i) {
        const bool lost = !addr || (loss_every > 0 && i % loss_every == 0);
        hop_stats_record(h, lost ? std::nullopt : std::optional<std::uint32_t>(base_ms + i % 9 + (i % 97 == 0) * 60),
                         now - (700 - i) * 1000);
    }
    return h;
}

TraceState thirty_hop_trace(std::int64_t now) {
    TraceState s;
    s.status = "Monitoring";
    s.target_addr = Ipv4Addr(10, 77, 100, 1);
    s.started_ms = now - 700'000;
    s.last_trace_ms = now - 4'000;
    for (int i = 0; i < 30; ++i) {
        const bool last = i == 29;
        std::optional<Ipv4Addr> addr = last ? Ipv4Addr(10, 77, 100, 1) : Ipv4Addr(10, 77, 1, static_cast<std::uint8_t>(i + 1));
        std::optional<std::string> name = "ae-" + std::to_string(i) + ".r21.frnkge13.de.bb.gin.example.net";
        if (i == 4) addr.reset();
        if (i % 7 == 3) name = "";
        if (last) name = kLongName;
        // Hop 6 answers slowly and hop 8 is rate limited: the status bar
        // explains both.
        s.hops.push_back(probed(addr, name, 2 + 3 * i + (i == 6 ? 90 : 0), i == 8 ? 3 : (i == 12 ? 80 : 0), now));
    }
    s.events.push_back({"Path discovered, 30 hops", std::nullopt, now - 690'000, RouteEventKind::Info});
    s.events.push_back({"Hop 9 changed from 10.77.1.9 to 10.77.9.9", "Hop  Before      After\n9    10.77.1.9   10.77.9.9 <\n",
                        now - 300'000, RouteEventKind::RouteChange});
    for (int i = 0; i < 12; ++i)
        s.events.push_back({"Route check, hop " + std::to_string(i) + " answered from a new address after a long while",
                            std::nullopt, now - 200'000 + i * 1000, RouteEventKind::Info});
    return s;
}

TraceState forty_host_watch(std::int64_t now) {
    TraceState s;
    s.status = "Watching";
    s.started_ms = now - 700'000;
    for (int i = 0; i < 40; ++i) {
        const Ipv4Addr addr(10, 78, 0, static_cast<std::uint8_t>(i + 1));
        HopStats h = probed(addr, i % 3 ? "srv-" + std::to_string(i) + ".rack-" + std::to_string(i % 7) + ".example.net"
                                        : std::string(kLongName),
                            5 + i, i % 5 == 0 ? 2 : 0, now);
        h.host = addr.to_string();
        if (i % 2) h.label = "Server " + std::to_string(i) + " in the far rack by the window";
        if (i % 6 == 1)  // down for hours: the longest status text
            for (int k = 0; k < 3; ++k) hop_stats_record(h, std::nullopt, now - 7'300'000 + k * 800);
        s.hops.push_back(std::move(h));
        if (i % 6 == 1) s.events.push_back({"Host down", std::nullopt, now - 4000, RouteEventKind::HostDown});
    }
    return s;
}

void write_file(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

// A trace recording of 30 hops whose ninth hop changes its address once.
std::filesystem::path write_recording(const std::filesystem::path& dir, std::int64_t start) {
    const std::filesystem::path path = dir / ("trace " + std::string(kLongName) + " 2025-12-06.csv");
    std::ostringstream csv;
    csv << "time,unix_ms,target,hop,address,rtt_ms,result\n";
    for (int i = 0; i < 600; ++i)
        for (int hop = 1; hop <= 30; ++hop) {
            const std::string addr = hop == 9 && i > 300 ? "10.77.9.9" : "10.77.1." + std::to_string(hop);
            csv << "2025-12-06 05:46:00.000," << start + i * 1000 + hop << "," << kLongName << "," << hop << ","
                << addr << "," << 2 * hop + i % 5 << ",ok\n";
        }
    write_file(path, csv.str());
    return path;
}

// --- The App of each view ----------------------------------------------------

struct SweepEnv {
    test::AppFolders folders;
    std::int64_t now = wall_ms();
    test::ScriptedNames names;
};

App base_app(const SweepEnv& env) {
    App app;
    app.trace_tabs.push_back(new_trace_tab("10.77.100.1"));
    app.trace_tabs.push_back(new_trace_tab(kLongName));
    TraceTab& tab = app.trace_tabs[0];
    tab.state->state = thirty_hop_trace(env.now);
    tab.seen_events = tab.state->state.events.size();  // no alert sounds
    app.recent = {"10.77.100.1", kLongName};
    app.utc = true;  // the longer clock texts
    app.maximized = false;
    app.sound_on = true;
    app.flash_on = false;
    app.shared->route_secs = 900;
    app.shared->set_history_dir(env.folders.history());
    app.history_dir_text = env.folders.history().string();
    return app;
}

void watch_forty_hosts(App& app, const SweepEnv& env) {
    WatchTab tab = new_watch_tab("Data center, second floor, all racks");
    tab.state->state = forty_host_watch(env.now);
    tab.seen_events = tab.state->state.events.size();
    app.watch_tabs.push_back(std::move(tab));
    app.view_mode = ViewMode::Watch;
}

void twelve_saved_lists(App& app, const SweepEnv& env) {
    const char* names[] = {"Office", "Data center", "Clients", "Branch North", "Branch South", "Lab",
                           "Printers", "Cameras", "VoIP", "Core routers", "DNS", "A rather long list name for one card"};
    for (const char* n : names) {
        std::string text;
        for (int i = 1; i <= 9; ++i) text += "10.79.0." + std::to_string(i) + " host-with-a-long-label-" + std::to_string(i) + "\n";
        env.folders.write_list(n, text);
    }
    app.saved_list_names = list_saved_list_files();
    ASSERT_EQ(app.saved_list_names.size(), 12u);
}

// Playback names the hops it shows; their names come from the script.
void load_recording(App& app, SweepEnv& env) {
    for (std::uint8_t hop = 1; hop <= 30; ++hop)
        env.names.set(Ipv4Addr(10, 77, 1, hop), hop == 30 ? std::string(kLongName)
                                                          : "ae-" + std::to_string(hop) + ".r21.frnkge13.de.bb.gin.example.net");
    env.names.set(Ipv4Addr(10, 77, 9, 9), "ae-9.r22.frnkge13.de.bb.gin.example.net");
    auto opened = open_history_recording(write_recording(env.folders.history(), env.now - 3'600'000));
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ReplaySession>>(opened)) << std::get<std::string>(opened);
    app.replay.emplace(std::move(*std::get<std::unique_ptr<ReplaySession>>(opened)));
}

void both_banners(App& app, const SweepEnv& env) {
    app.error_banner = "Could not read " + std::string(kLongName) +
                       ".csv: the file is not a history file of this program (line 1 has 3 fields, 7 expected)";
    for (int i = 0; i < 3; ++i)
        app.alerts.push_back({0, "10.77.100.1: Hop 9 changed from 10.77.1.9 to 10.77.9.9, and the path after it is " +
                                     std::string(kLongName) + " now, by way of a much longer route",
                              "Hop  Before      After\n9    10.77.1.9   10.77.9.9 <\n", env.now - 60'000,
                              RouteEventKind::RouteChange});
}

// The 30-hop path lost its second-to-last router: the comparison lists every
// hop, and only the last two rows changed. Shown by the route log's row and
// by the alert banner.
void thirty_hop_route_change(App& app, const SweepEnv& env) {
    Route before, after;
    for (std::uint8_t hop = 1; hop <= 29; ++hop) before.push_back(Ipv4Addr(10, 77, 1, hop));
    after = before;
    before.push_back(Ipv4Addr(10, 77, 100, 1));
    after.back() = Ipv4Addr(10, 77, 100, 1);
    const std::string summary = route_length_change_summary(before, after);
    const std::string table = route_change_table(before, after);
    TraceTab& tab = app.trace_tabs[0];
    tab.state->state.events.push_back({summary, table, env.now - 10'000, RouteEventKind::RouteChange});
    tab.seen_events = tab.state->state.events.size();
    app.alerts.push_back({0, "10.77.100.1: " + summary, table, env.now - 10'000, RouteEventKind::RouteChange});
    app.layout_mode = LayoutMode::Signal;
}

struct Driver;

struct ViewSetup {
    const char* name;
    std::function<void(App&, SweepEnv&)> prepare;
    std::function<void(Driver&)> on_screen = {};
};
void PrintTo(const ViewSetup& v, std::ostream* os) { *os << v.name; }

// --- Driving the window headless ---------------------------------------------

const ImVec2 kOff(-FLT_MAX, -FLT_MAX);

struct Driver {
    AppFrame frame;
    test::FakeShell shell;
    ItemLog log;
    const ImDrawData* drawn = nullptr;  // the last frame's

    explicit Driver(std::function<App()> make) : frame(std::move(make)) {}
    ~Driver() { set_item_log(nullptr); }

    void run(ImVec2 mouse, bool down = false, float wheel = 0.0f) {
        log = {};
        set_item_log(&log);
        ImGui::GetIO().MouseWheel = wheel;
        drawn = test::run_frame(mouse, down, [&] { frame.frame(shell, KeyboardFrame{}); }, false);
        set_item_log(nullptr);
    }
    void settle() {
        for (int i = 0; i < 3; ++i) run(kOff);
    }
    // Holds the pointer still at `at` long enough for a tooltip to show.
    void rest_at(ImVec2 at) {
        run(at);
        ImGuiIO& io = ImGui::GetIO();
        const float dt = io.DeltaTime;
        io.DeltaTime = 0.6f;
        run(at);
        io.DeltaTime = dt;
        run(at);
        run(at);
    }
    void click(ImVec2 at) {
        run(at);
        run(at, true);
        run(at);
        run(at);
        run(at);
    }
};

const ViewSetup kViews[] = {
    {"instrument", [](App&, const SweepEnv&) {}},
    {"signal", [](App& app, const SweepEnv&) { app.layout_mode = LayoutMode::Signal; }},
    {"route_change", thirty_hop_route_change},
    {"watch", watch_forty_hosts},
    {"watch_scrolled", watch_forty_hosts,
     [](Driver& d) {
         // The table's rows are the last areas drawn: the first one in view.
         const auto first_row = [&] {
             const ImGuiWindow* rows = nullptr;
             for (const LoggedItem& i : d.log.items)
                 if (i.role == ItemRole::Area) rows = i.window;
             for (const LoggedItem& i : d.log.items)
                 if (i.window == rows && i.role == ItemRole::Area) return i.id;
             return ImGuiID{0};
         };
         const ImGuiID before = first_row();
         const ImVec2 table(ImGui::GetIO().DisplaySize.x / 2, 330);
         for (int i = 0; i < 4; ++i) d.run(table, false, -2.0f);
         d.run(kOff);
         EXPECT_NE(first_row(), before) << "the table did not scroll";
     }},
    {"library", [](App& app, const SweepEnv& env) {
         app.view_mode = ViewMode::Watch;
         twelve_saved_lists(app, env);
     }},
    {"list_editor", [](App& app, const SweepEnv& env) {
         twelve_saved_lists(app, env);
         app.view_mode = ViewMode::Watch;
         app.editor_open = true;
         app.editor_saved_name = app.editor_name = "A rather long list name for one card";
         for (int i = 1; i <= 30; ++i) app.editor_text += "10.79.0." + std::to_string(i) + " host " + std::to_string(i) + "\n";
         app.editor_message = "Could not save: a list named \"Office\" already exists. Pick another name.";
         app.editor_message_color = kMessageRed;
     }},
    {"settings", [](App& app, const SweepEnv&) { app.settings_open = true; }},
    {"playback", load_recording,
     [](Driver& d) {
         const SharedTraceState& shared = d.frame.app()->replay->state;
         const auto all_named = [&] {
             std::lock_guard lock(shared->mutex);
             const HopList& hops = shared->state.hops;
             return !hops.empty() && std::all_of(hops.begin(), hops.end(), [](const HopStats& h) { return h.name.has_value(); });
         };
         ASSERT_TRUE(test::wait_until(all_named)) << "the hops' names never came";
     }},
    {"banners", both_banners},
    {"banners_watch", [](App& app, const SweepEnv& env) {
         both_banners(app, env);
         watch_forty_hosts(app, env);
     }},
};

// --- What the sweep checks ---------------------------------------------------

constexpr float kSlack = 0.5f;      // a shared edge is not an overlap
constexpr float kTextSlack = 1.5f;  // nor the gap between stacked lines
constexpr float kInkSlack = 1.5f;   // a glyph's advance runs on past its ink

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right - kSlack && b.left < a.right - kSlack && a.top < b.bottom - kSlack &&
           b.top < a.bottom - kSlack;
}
bool inside(const Rect& in, const Rect& out) {
    return in.left >= out.left - kSlack && in.right <= out.right + kSlack && in.top >= out.top - kSlack &&
           in.bottom <= out.bottom + kSlack;
}
bool empty(const Rect& r) { return r.width() <= 0.0f || r.height() <= 0.0f; }
Rect rect_of(const ImGuiWindow* w) { return {w->Pos.x, w->Pos.y, w->Pos.x + w->Size.x, w->Pos.y + w->Size.y}; }

std::string describe(const Rect& r) {
    char b[96];
    std::snprintf(b, sizeof b, "[%.1f,%.1f - %.1f,%.1f]", r.left, r.top, r.right, r.bottom);
    return b;
}

const char* role_name(ItemRole r) {
    switch (r) {
    case ItemRole::Control: return "control";
    case ItemRole::Area: return "area";
    case ItemRole::Overlay: return "overlay";
    case ItemRole::Hint: return "hint";
    }
    return "?";
}

// The panel window an item belongs to: the innermost window on its parent
// chain named after a panel ("panel_9", a grab band "panel_13_grab"), or
// null for a popup of its own.
const ImGuiWindow* panel_window(const ImGuiWindow* w) {
    static const std::regex panel(R"(^panel_\d+(_grab)?(_[0-9A-F]{8})?$)");
    for (; w != nullptr; w = w->ParentWindow) {
        std::string name = w->Name;
        if (const auto slash = name.rfind('/'); slash != std::string::npos) name = name.substr(slash + 1);
        if (std::regex_match(name, panel)) return w;
    }
    return nullptr;
}

std::string window_name(const ImGuiWindow* w) {
    const ImGuiWindow* p = panel_window(w);
    std::string name = p ? p->Name : w->Name;
    if (const auto slash = name.rfind('/'); slash != std::string::npos) name = name.substr(slash + 1);
    if (const auto hash = name.rfind('_'); hash != std::string::npos && name.size() - hash == 9) name.resize(hash);
    return name;
}

// The texts of the frame being checked, to name items by what they show.
const std::vector<LoggedText>* g_texts = nullptr;

std::string where(const LoggedItem& i) {
    std::string shows;
    if (g_texts != nullptr)
        for (const LoggedText& t : *g_texts)
            if (!empty(t.visible) && overlap(t.visible, i.rect) && inside(t.visible, i.rect.expand(1.0f)))
                shows += (shows.empty() ? " \"" : " ") + t.text;
    if (!shows.empty()) shows += "\"";
    return std::string(role_name(i.role)) + shows + " " + describe(i.rect) + " in " + window_name(i.window);
}

std::string where(const LoggedText& t) {
    return "text \"" + t.text + "\" " + describe(t.rect) + " in " + window_name(t.window);
}

// What the sweep found, each fault once however often it showed.
using Faults = std::set<std::string>;

// Whole inside every window up to its panel; in a window that scrolls only
// across (rows may be scrolled partly out of sight).
void check_whole_in_panel(const LoggedItem& item, Faults& faults) {
    const ImGuiWindow* panel = panel_window(item.window);
    const Rect display{0, 0, ImGui::GetIO().DisplaySize.x, ImGui::GetIO().DisplaySize.y};
    Rect r = item.rect;
    for (const ImGuiWindow* w = item.window; w != nullptr; w = w->ParentWindow) {
        const Rect wr = rect_of(w);
        if (w->ScrollMax.y > 0.0f) {
            if (r.left < wr.left - kSlack || r.right > wr.right + kSlack)
                faults.insert(where(item) + " is cut at the side of " + w->Name + " " + describe(wr));
            r.top = std::max(r.top, wr.top);
            r.bottom = std::min(r.bottom, wr.bottom);
            if (empty(r)) return;  // scrolled out of sight
        } else if (!inside(r, wr)) {
            faults.insert(where(item) + " is not whole inside " + w->Name + " " + describe(wr));
        }
        if (w == panel) break;
    }
    if (!inside(r, display)) faults.insert(where(item) + " leaves the window");
}

bool scrolls(const ImGuiWindow* w) {
    for (const ImGuiWindow* p = panel_window(w); w != nullptr && w != p; w = w->ParentWindow)
        if (w->ScrollMax.y > 0.0f) return true;
    return false;
}

// Controls and hints share no point with anything; an area may hold hints,
// and controls submitted before it (they take the pointer first); an
// overlay may float over areas only. A panel's grab band reaches into the
// panel beside it: what scrolls there can be scrolled out from under it.
void check_overlaps(const std::vector<LoggedItem>& items, Faults& faults) {
    for (std::size_t a = 0; a < items.size(); ++a) {
        for (std::size_t b = a + 1; b < items.size(); ++b) {
            const LoggedItem& x = items[a];
            const LoggedItem& y = items[b];
            if (x.window->RootWindow != y.window->RootWindow) continue;  // a popup or window above
            if (empty(x.visible) || empty(y.visible) || !overlap(x.visible, y.visible)) continue;
            const bool x_area = x.role == ItemRole::Area, y_area = y.role == ItemRole::Area;
            const bool x_over = x.role == ItemRole::Overlay, y_over = y.role == ItemRole::Overlay;
            if ((x_over && y_area) || (y_over && x_area) || (x_over && y_over)) continue;
            if (x_over != y_over) {
                const LoggedItem& other = x_over ? y : x;
                if ((x_over ? x : y).window != other.window && scrolls(other.window)) continue;
            }
            // Held by the area: a control must come first to take the pointer,
            // a hint (hover alone) takes nothing from it.
            if (!x_area && y_area && inside(x.visible, y.visible)) continue;
            if (x_area && y.role == ItemRole::Hint && inside(y.visible, x.visible)) continue;
            faults.insert(where(x) + " overlaps " + where(y));
        }
    }
}

// A text too long for its box ends in "…" or gives way: what its box (the
// clip rectangle it is drawn in) cuts off at a side is a text cut mid-letter,
// or gone. Only a box that scrolls may cut it at the top or bottom, and only
// a box whose look cuts long texts (a tab's title, a table cell) at a side.
void check_text_whole(const LoggedText& t, Faults& faults) {
    if (t.cut_by_design) return;
    const bool in_rows = t.rect.top < t.clip.bottom && t.rect.bottom > t.clip.top;
    if (in_rows && (t.rect.left < t.clip.left - kInkSlack || t.rect.right > t.clip.right + kInkSlack))
        faults.insert(where(t) + " is drawn past its box " + describe(t.clip) + " and cut there");
}

// What shows of a text lies inside its panel, runs under no control or hint
// it is not part of, and shares no point with another text.
void check_texts(const ItemLog& log, Faults& faults) {
    for (std::size_t a = 0; a < log.texts.size(); ++a) {
        const LoggedText& t = log.texts[a];
        check_text_whole(t, faults);
        if (empty(t.visible)) continue;
        Rect r = t.visible;
        for (const ImGuiWindow* w = t.window; w != nullptr; w = w->ParentWindow) {
            const Rect wr = rect_of(w);
            if (w->ScrollMax.y > 0.0f) {
                r.top = std::max(r.top, wr.top);
                r.bottom = std::min(r.bottom, wr.bottom);
                if (empty(r)) break;
            }
            if (r.left < wr.left - kSlack || r.right > wr.right + kSlack)
                faults.insert(where(t) + " runs out of " + window_name(w) + " " + describe(wr));
            if (w == panel_window(t.window)) break;
        }
        for (const LoggedItem& i : log.items) {
            if (i.role == ItemRole::Area || i.role == ItemRole::Overlay || empty(i.visible)) continue;
            if (i.window->RootWindow != t.window->RootWindow) continue;
            if (overlap(t.visible, i.visible) && !inside(t.visible, i.visible))
                faults.insert(where(t) + " runs under " + where(i));
        }
        for (std::size_t b = a + 1; b < log.texts.size(); ++b) {
            const LoggedText& u = log.texts[b];
            if (empty(u.visible) || u.window->RootWindow != t.window->RootWindow) continue;
            // Boxes of stacked lines may share the line gap (a card's title and value do).
            if (overlap(t.visible.expand(-kTextSlack), u.visible.expand(-kTextSlack)))
                faults.insert(where(t) + " overlaps " + where(u));
        }
    }
}

// Every window of its own (tooltips, popups, the floating windows) and every
// painted hover box lies inside the window; what each window holds fits the
// window too (Dear ImGui would shrink a window that doesn't to the screen and
// cut its contents short).
void check_floats_inside(const ItemLog& log, const std::string& what, Faults& faults) {
    const Rect display{0, 0, ImGui::GetIO().DisplaySize.x, ImGui::GetIO().DisplaySize.y};
    for (const ImGuiWindow* w : GImGui->Windows) {
        if (!w->Active || w->Hidden || (w->Flags & ImGuiWindowFlags_ChildWindow)) continue;
        if (!inside(rect_of(w), display))
            faults.insert(what + "window " + w->Name + " " + describe(rect_of(w)) + " leaves the window");
        const ImVec2 needs(w->ContentSize.x + 2 * w->WindowPadding.x, w->ContentSize.y + 2 * w->WindowPadding.y);
        if (needs.x > display.width() + kSlack || needs.y > display.height() + kSlack) {
            char size[64];
            std::snprintf(size, sizeof size, "%.0f x %.0f", needs.x, needs.y);
            faults.insert(what + "window " + w->Name + " needs " + size + ", more than the window");
        }
    }
    for (const Rect& box : log.hover_boxes)
        if (!inside(box, display)) faults.insert(what + "hover box " + describe(box) + " leaves the window");
}

// 1-point lines drawn across two pixels (the sweep runs at display scale 1),
// each once: a line a hover or popup frame shows again is named only where
// it first showed.
void check_lines(const ImDrawData* drawn, const std::string& what, Faults& faults, std::set<std::string>& seen) {
    for (const test::BlurredLine& l : test::blurred_lines(drawn, 1.0f)) {
        char b[128];
        std::snprintf(b, sizeof b, "a 1-point line from %.2f,%.2f to %.2f,%.2f", l.from.x, l.from.y, l.to.x, l.to.y);
        std::string window = l.window;
        if (const auto slash = window.rfind('/'); slash != std::string::npos) window = window.substr(slash + 1);
        const std::string line = b + (" in " + window);
        if (seen.insert(line).second) faults.insert(what + line + " lies between pixels");
    }
}

std::vector<ImVec2> probe_points(const Rect& v) {
    const float cy = (v.top + v.bottom) / 2;
    return {ImVec2((v.left + v.right) / 2, cy), ImVec2(v.right - 2, cy), ImVec2(v.left + 2, v.bottom - 2),
            ImVec2(v.right - 2, v.bottom - 2)};
}

struct Size {
    float w, h;
};
constexpr Size kSizes[] = {{1240, 720}, {1400, 880}, {1920, 1080}};

class LayoutSweep : public ::testing::TestWithParam<ViewSetup> {};

TEST_P(LayoutSweep, NothingOverlapsAndNothingLeavesTheWindow) {
    const ViewSetup& view = GetParam();
    for (const Size size : kSizes) {
        test::reset_headless_imgui();
        ImGui::GetIO().DisplaySize = ImVec2(size.w, size.h);
        const std::string ctx = std::string(view.name) + " at " + std::to_string(int(size.w)) + "x" +
                                std::to_string(int(size.h)) + ": ";
        SweepEnv env;
        Driver d([&] {
            App app = base_app(env);
            view.prepare(app, env);
            app.last_saved_settings = format_settings_ini(live_settings(app));
            return app;
        });
        d.settle();
        if (view.on_screen) view.on_screen(d);
        d.settle();
        ASSERT_FALSE(HasFatalFailure());

        const std::vector<LoggedItem> items = d.log.items;
        ASSERT_FALSE(items.empty()) << ctx;
        const std::vector<LoggedText> texts = d.log.texts;
        g_texts = &texts;
        Faults faults;
        for (const LoggedItem& i : items) check_whole_in_panel(i, faults);
        check_overlaps(items, faults);
        check_texts(d.log, faults);
        check_floats_inside(d.log, "", faults);
        std::set<std::string> lines_seen;
        check_lines(d.drawn, "", faults, lines_seen);

        // Tooltips and hover boxes, with the pointer resting on each side of
        // what shows them.
        for (const LoggedItem& i : items) {
            if (!i.tooltip || empty(i.visible)) continue;
            for (const ImVec2 at : probe_points(i.visible)) {
                d.rest_at(at);
                check_floats_inside(d.log, "hovering " + where(i) + ": ", faults);
                check_lines(d.drawn, "hovering " + where(i) + ": ", faults, lines_seen);
            }
        }
        // Popups, each opened and closed again with a click in the status bar.
        const ImVec2 away(size.w / 2, size.h - 4);
        for (const LoggedItem& i : items) {
            if (!i.opens_popup || empty(i.visible)) continue;
            d.click(ImVec2((i.visible.left + i.visible.right) / 2, (i.visible.top + i.visible.bottom) / 2));
            const std::string in_popup = "with the popup of " + where(i) + " open: ";
            check_floats_inside(d.log, in_popup, faults);
            check_lines(d.drawn, in_popup, faults, lines_seen);
            for (const LoggedItem& p : d.log.items)
                if (panel_window(p.window) == nullptr) check_whole_in_panel(p, faults);
            d.click(away);
        }
        for (const std::string& f : faults) ADD_FAILURE() << ctx << f;
        g_texts = nullptr;
        d.run(kOff);
    }
}

INSTANTIATE_TEST_SUITE_P(Views, LayoutSweep, ::testing::ValuesIn(kViews),
                         [](const ::testing::TestParamInfo<ViewSetup>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane
