#include <gtest/gtest.h>

#include <set>

#include "engine/clock.h"
#include "headless_imgui.h"
#include "ui/interaction.h"
#include "ui/item_log.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/views/banner_model.h"
#include "ui/views/banners.h"
#include "ui/views/status_bar.h"
#include "ui/views/status_bar_text.h"

namespace corvane {
namespace {

AlertEntry alert_of(RouteEventKind kind, std::size_t source, std::string message = "m") {
    AlertEntry a;
    a.kind = kind;
    a.source = source;
    a.message = std::move(message);
    return a;
}

std::string repeat(std::string_view piece, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += piece;
    return s;
}

// --- Alert banner rules -----------------------------------------------------

TEST(AlertBannerText, TitlesByKind) {
    EXPECT_EQ(alert_title(RouteEventKind::HostUp).text, "Host back up");
    EXPECT_EQ(alert_title(RouteEventKind::HostUp).color, palette::ok_green);
    EXPECT_EQ(alert_title(RouteEventKind::HostDown).text, "Host down");
    EXPECT_EQ(alert_title(RouteEventKind::HostDown).color, palette::bad_red);
    for (RouteEventKind k : {RouteEventKind::RouteChange, RouteEventKind::Info}) {
        EXPECT_EQ(alert_title(k).text, "Route changed");
        EXPECT_EQ(alert_title(k).color, palette::accent_bright);
    }
}

TEST(AlertBannerText, ShortensByCharactersNotBytes) {
    EXPECT_EQ(shorten_alert_message(""), "");
    EXPECT_EQ(shorten_alert_message(repeat("a", 110)), repeat("a", 110));
    EXPECT_EQ(shorten_alert_message(repeat("a", 111)), repeat("a", 108) + "\u2026");
    // Two-byte and three-byte characters count once each.
    EXPECT_EQ(shorten_alert_message(repeat("\u00e9", 110)), repeat("\u00e9", 110));
    EXPECT_EQ(shorten_alert_message(repeat("\u00e9", 200)), repeat("\u00e9", 108) + "\u2026");
    const std::string mixed = repeat("a", 107) + "\u2192" + repeat("b", 10);
    EXPECT_EQ(shorten_alert_message(mixed), repeat("a", 107) + "\u2192\u2026");
}

TEST(AlertBannerText, MoreAlerts) {
    EXPECT_EQ(more_alerts_text(0), std::nullopt);
    EXPECT_EQ(more_alerts_text(1), std::nullopt);
    EXPECT_EQ(more_alerts_text(3), "+2 more");
}

TEST(AlertBannerShow, RouteLogButton) {
    App app;
    for (int i = 0; i < 3; ++i) app.trace_tabs.push_back(new_trace_tab("10.0.0.1"));
    app.active_trace = 1;
    const AlertEntry a = alert_of(RouteEventKind::RouteChange, 1);
    EXPECT_EQ(show_button_label(a), "Show route log");

    app.view_mode = ViewMode::Trace;
    app.layout_mode = LayoutMode::Signal;
    EXPECT_FALSE(show_button_visible(app, a));  // already on screen
    app.layout_mode = LayoutMode::Instrument;
    EXPECT_TRUE(show_button_visible(app, a));
    app.active_trace = 0;
    app.view_mode = ViewMode::Watch;
    EXPECT_TRUE(show_button_visible(app, a));

    show_alert_source(app, a);
    EXPECT_EQ(app.view_mode, ViewMode::Trace);
    EXPECT_EQ(app.layout_mode, LayoutMode::Signal);
    EXPECT_EQ(app.active_trace, 1u);

    // Tabs closed since: the last one.
    show_alert_source(app, alert_of(RouteEventKind::RouteChange, 7));
    EXPECT_EQ(app.active_trace, 2u);
}

TEST(AlertBannerShow, WatchListButton) {
    App app;
    app.trace_tabs.push_back(new_trace_tab(""));
    const AlertEntry down = alert_of(RouteEventKind::HostDown, 1);
    EXPECT_EQ(show_button_label(down), "Show watch list");
    EXPECT_EQ(show_button_label(alert_of(RouteEventKind::HostUp, 0)), "Show watch list");
    EXPECT_EQ(show_button_label(alert_of(RouteEventKind::Info, 0)), "Show watch list");

    app.view_mode = ViewMode::Watch;
    app.active_watch = 1;
    EXPECT_FALSE(show_button_visible(app, down));
    app.active_watch = 0;
    EXPECT_TRUE(show_button_visible(app, down));
    app.view_mode = ViewMode::Trace;
    app.active_watch = 1;
    EXPECT_TRUE(show_button_visible(app, down));

    // No watch tab left: index 0, never an underflow.
    show_alert_source(app, down);
    EXPECT_EQ(app.view_mode, ViewMode::Watch);
    EXPECT_EQ(app.active_watch, 0u);
    EXPECT_EQ(app.layout_mode, LayoutMode::Instrument);  // layout untouched

    app.watch_tabs.push_back(new_watch_tab("a"));
    app.watch_tabs.push_back(new_watch_tab("b"));
    show_alert_source(app, alert_of(RouteEventKind::HostUp, 5));
    EXPECT_EQ(app.active_watch, 1u);
}

// --- Status bar rules -------------------------------------------------------

TEST(StatusBarText, DotColourByStatus) {
    const std::vector<std::pair<std::string, Color32>> cases = {
        {"Monitoring", palette::ok_green},
        {"Watching", palette::ok_green},
        {"Stopped", palette::waiting_grey},
        {"Could not resolve that name to an IPv4 address", palette::bad_red},
        {"Could not", palette::bad_red},
        {"No hops found, retrying. Is ICMP blocked on this network?", palette::bad_red},
        {"Starting", palette::warn_amber},
        {"No list open", palette::warn_amber},
        {"Stop", palette::warn_amber},
        {"Monitoring ", palette::warn_amber},
        {"Could", palette::warn_amber},
        {"", palette::warn_amber},
    };
    for (const auto& [status, colour] : cases) EXPECT_EQ(status_dot_color(status), colour) << status;
}

TEST(StatusBarText, Elapsed) {
    const std::int64_t now = 1'700'000'000'000;
    EXPECT_EQ(format_elapsed(now, now - 3'725'000), "01:02:05");
    EXPECT_EQ(format_elapsed(now, now - 3'725'999), "01:02:05");
    EXPECT_EQ(format_elapsed(now, now - 100LL * 3'600'000), "100:00:00");
    EXPECT_EQ(format_elapsed(now, now), "00:00:00");
    EXPECT_EQ(format_elapsed(now, now + 5000), "00:00:00");
    EXPECT_EQ(format_elapsed(INT64_MAX, INT64_MIN), "5124095576030:25:51");

    EXPECT_TRUE(status_shows_elapsed("Monitoring", ViewMode::Watch, false));
    EXPECT_TRUE(status_shows_elapsed("Watching", ViewMode::Trace, false));
    EXPECT_TRUE(status_shows_elapsed("Resolving", ViewMode::Trace, true));
    EXPECT_FALSE(status_shows_elapsed("Resolving", ViewMode::Watch, true));
    EXPECT_FALSE(status_shows_elapsed("Stopped", ViewMode::Trace, false));
}

TEST(StatusBarText, CountsAndSettings) {
    TraceState s;
    EXPECT_EQ(probes_per_hop_text(s), "0 probes per hop");
    EXPECT_EQ(hosts_text(s), "0 hosts");
    EXPECT_EQ(route_changes_text(s), "No route changes");
    EXPECT_EQ(outages_text(s), "No outages");

    s.hops.resize(3);
    s.hops[0].sent = 99;
    s.hops[2].sent = 42;
    EXPECT_EQ(probes_per_hop_text(s), "42 probes per hop");
    EXPECT_EQ(hosts_text(s), "3 hosts");

    auto event = [](RouteEventKind k) {
        RouteEvent e;
        e.kind = k;
        return e;
    };
    s.events = {event(RouteEventKind::Info), event(RouteEventKind::RouteChange), event(RouteEventKind::HostUp)};
    EXPECT_EQ(route_changes_text(s), "1 route change");
    EXPECT_EQ(outages_text(s), "No outages");
    s.events.push_back(event(RouteEventKind::RouteChange));
    s.events.push_back(event(RouteEventKind::HostDown));
    EXPECT_EQ(route_changes_text(s), "2 route changes");
    EXPECT_EQ(outages_text(s), "1 outage");
    s.events.push_back(event(RouteEventKind::HostDown));
    EXPECT_EQ(outages_text(s), "2 outages");

    EXPECT_EQ(interval_text(500), "Interval 0.5 s");
    EXPECT_EQ(interval_text(2500), "Interval 2.5 s");
    EXPECT_EQ(route_check_text(0), "Route check Off");
    EXPECT_EQ(route_check_text(60), "Route check 1 min");
    EXPECT_EQ(route_check_text(900), "Route check 15 min");

    HopVerdicts v;
    EXPECT_FALSE(any_hop_is(v, HopClass::RateLimited));
    v.classes = {HopClass::None, HopClass::SlowToAnswer};
    EXPECT_TRUE(any_hop_is(v, HopClass::SlowToAnswer));
    EXPECT_FALSE(any_hop_is(v, HopClass::RateLimited));
}

// --- Drawn banners and bar --------------------------------------------------

struct PanelHarness {
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel panel;
    ViewServices services;

    PanelHarness(PanelId id, float height) {
        panel.spec.id = id;
        panel.rect = {0, 200, 1400, 200 + height};
        panel.content = {24, 200, 1376, 200 + height};
        app.trace_tabs.push_back(new_trace_tab(""));
    }
    const ImDrawData* draw(ImVec2 mouse = {0, 0}, bool down = false) {
        return test::run_frame(mouse, down, [&] {
            ViewContext ctx{app, view, actions, panel, services};
            switch (panel.spec.id) {
            case PanelId::ErrorBanner: draw_error_banner(ctx); break;
            case PanelId::AlertBanner: draw_alert_banner(ctx); break;
            default: draw_status_bar(ctx); break;
            }
        });
    }
    void click(ImVec2 at) {
        draw(at);
        draw(at, true);
        draw(at);
    }
    // The right-aligned dialog button `n` from the right (0 = rightmost).
    ImVec2 button_centre(std::vector<std::string_view> right_to_left, std::size_t n) {
        float right = panel.content.right;
        float w = 0;
        for (std::size_t i = 0; i <= n; ++i) {
            w = layout_text(right_to_left[i], {FontFamily::Medium, 12.5f}, {}).size.x + 2 * theme::button_padding_x;
            if (i < n) right -= w + 12;
        }
        return {right - w / 2, panel.content.center().y};
    }
};

std::set<ImU32> vertex_colours(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

TEST(ErrorBanner, DismissClearsTheMessage) {
    test::ensure_headless_imgui();
    PanelHarness h(PanelId::ErrorBanner, 40);
    h.app.error_banner = std::string(300, 'x');
    const ImDrawData* d = h.draw();
    EXPECT_TRUE(vertex_colours(d).count(to_imu32(palette::bad_red)));
    EXPECT_TRUE(test::indices_in_range(d));
    h.click({100, 220});  // on the text: nothing
    EXPECT_TRUE(h.app.error_banner);
    h.click(h.button_centre({"Dismiss"}, 0));
    EXPECT_FALSE(h.app.error_banner);
}

TEST(AlertBanner, DismissEmptiesTheQueue) {
    test::ensure_headless_imgui();
    PanelHarness h(PanelId::AlertBanner, 44);
    h.app.view_mode = ViewMode::Watch;
    h.app.active_watch = 0;
    h.app.alerts = {alert_of(RouteEventKind::RouteChange, 0), alert_of(RouteEventKind::HostDown, 0),
                    alert_of(RouteEventKind::HostDown, 0, std::string(400, 'y'))};
    // The newest alert is from the watch tab on screen: only "Dismiss".
    const ImDrawData* d = h.draw();
    EXPECT_TRUE(vertex_colours(d).count(to_imu32(palette::bad_red)));  // "Host down"
    EXPECT_TRUE(test::indices_in_range(d));
    h.click(h.button_centre({"Dismiss"}, 0));
    EXPECT_TRUE(h.app.alerts.empty());
}

TEST(AlertBanner, ShowRouteLogSwitchesToTheSignalLayout) {
    test::ensure_headless_imgui();
    PanelHarness h(PanelId::AlertBanner, 44);
    h.app.trace_tabs.push_back(new_trace_tab(""));
    h.app.view_mode = ViewMode::Trace;
    h.app.layout_mode = LayoutMode::Instrument;
    AlertEntry a = alert_of(RouteEventKind::RouteChange, 1, "Route to 10.0.0.1 changed");
    a.detail = "Hop  Before  After\n2  10.0.0.2  10.0.0.9  <";
    h.app.alerts = {a};

    h.click(h.button_centre({"Dismiss", "Show route log"}, 1));
    EXPECT_EQ(h.app.layout_mode, LayoutMode::Signal);
    EXPECT_EQ(h.app.active_trace, 1u);
    EXPECT_EQ(h.app.alerts.size(), 1u);  // showing does not dismiss
    // Now on screen: the button is gone, so the same place does nothing.
    h.app.active_trace = 1;
    h.app.layout_mode = LayoutMode::Signal;
    h.click(h.button_centre({"Dismiss", "Show route log"}, 1));
    EXPECT_EQ(h.app.alerts.size(), 1u);
    EXPECT_EQ(h.app.view_mode, ViewMode::Trace);
}

// A status bar of a trace monitoring for five seconds.
void monitoring_for_a_while(PanelHarness& h) {
    h.view.trace.status = "Monitoring";
    h.view.trace.started_ms = now_unix_ms() - 5000;
    h.view.now_ms = now_unix_ms();
}

TEST(StatusBar, LegendsFollowTheVerdicts) {
    test::ensure_headless_imgui();
    PanelHarness h(PanelId::StatusBar, 28);
    monitoring_for_a_while(h);
    h.view.verdicts.classes = {HopClass::None};
    const ImU32 slate = to_imu32(palette::rate_limited_slate);
    const ImU32 green = to_imu32(palette::ok_green);
    const ImU32 halo = to_imu32(color_with_alpha(palette::ok_green, 40));

    std::set<ImU32> colours = vertex_colours(h.draw());
    EXPECT_TRUE(colours.count(green));
    EXPECT_TRUE(colours.count(halo));
    EXPECT_FALSE(colours.count(slate));

    h.view.verdicts.classes = {HopClass::RateLimited, HopClass::None};
    EXPECT_TRUE(vertex_colours(h.draw()).count(slate));

    // The watch view describes the watch session, whatever the trace does.
    h.app.view_mode = ViewMode::Watch;
    h.view.watch.status = kNoListOpen;
    h.view.displayed = &h.view.watch;
    colours = vertex_colours(h.draw());
    EXPECT_TRUE(colours.count(to_imu32(palette::warn_amber)));
    EXPECT_FALSE(colours.count(green));
    EXPECT_FALSE(colours.count(slate));
}

// A bar too narrow for all its notes never cuts one mid-letter: the
// privilege note gives way first, then the last note that reaches past the
// room left ends in "…" and those after it give way.
TEST(StatusBar, NotesThatDoNotFitEndInAnEllipsis) {
    test::ensure_headless_imgui();
    PanelHarness h(PanelId::StatusBar, 28);
    monitoring_for_a_while(h);
    h.app.shared->route_secs = 900;
    h.view.verdicts.classes = {HopClass::SlowToAnswer, HopClass::RateLimited, HopClass::None};
    const std::set<std::string> whole_texts = {"Monitoring", "0 probes per hop", "Interval 1 s", "Route check 15 min",
                                               "No route changes", kMutedHopsNote, kRateLimitedNote,
                                               kPrivilegeNote, kVersionText};
    for (const float right : {1376.0f, 1216.0f, 900.0f, 420.0f}) {
        h.panel.content.right = right;
        ItemLog log;
        set_item_log(&log);
        h.draw();
        set_item_log(nullptr);
        std::set<std::string> shown;
        for (std::size_t i = 0; i < log.texts.size(); ++i) {
            const LoggedText& t = log.texts[i];
            shown.insert(t.text);
            if (t.text.find(':') == 2) continue;  // the elapsed time
            EXPECT_TRUE(whole_texts.count(t.text) || t.text.ends_with("\u2026")) << right << ": " << t.text;
            EXPECT_LE(t.rect.right, right + 0.5f) << right << ": " << t.text;
            for (std::size_t j = i + 1; j < log.texts.size(); ++j)
                EXPECT_TRUE(t.rect.right <= log.texts[j].rect.left || log.texts[j].rect.right <= t.rect.left)
                    << right << ": " << t.text << " / " << log.texts[j].text;
        }
        EXPECT_TRUE(shown.count(kVersionText)) << right;
        if (right == 1376.0f) {
            EXPECT_TRUE(shown.count(kPrivilegeNote));
        }
        if (right == 1216.0f) {  // a 1240 window: every note, without the privilege note
            EXPECT_TRUE(shown.count(kRateLimitedNote));
            EXPECT_FALSE(shown.count(kPrivilegeNote));
        }
        if (right <= 900.0f) {
            EXPECT_FALSE(shown.count(kRateLimitedNote)) << right;
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& t) { return t.ends_with("\u2026"); }))
                << right;
        }
    }
}

}  // namespace
}  // namespace corvane
