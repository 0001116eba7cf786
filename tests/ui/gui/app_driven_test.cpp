// A user at the real window, driven with xdotool inside the test bed: what
// the toolbar, the list library and the playback button start must really
// run (rows in the history) or show (the playback bar).

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app_window_support.h"
#include "support/net_support.h"

namespace corvane::gui_test {
namespace {

using namespace std::chrono_literals;

// The library's first card's Watch button, and a spot of it drawn.
constexpr int kFirstCardWatchX = 90, kFirstCardWatchY = 303;
constexpr Spot kFirstCardWatch{55, kFirstCardWatchY, {226, 78, 10}};
// The active tab's underline.
constexpr Spot kActiveTab{40, 93, {255, 90, 15}};

class AppDriven : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        if (IsSkipped()) return;
        if (!on_path("xdotool")) GTEST_SKIP() << "xdotool is missing: no way to click or type into the window";
    }

    // A stand-in zenity in root/bin running shell `script`; the environment
    // that puts it first on the program's PATH.
    static std::string stand_in_zenity(const fs::path& root, const std::string& script) {
        fs::create_directories(root / "bin");
        std::ofstream(root / "bin" / "zenity") << "#!/bin/sh\n" << script;
        fs::permissions(root / "bin" / "zenity", fs::perms::owner_all);
        return "PATH='" + (root / "bin").string() + "':\"$PATH\"";
    }
};

// Click the target field, type a host name, press Enter: the trace runs, and
// its history has rows for every hop under the name as typed.
TEST_F(AppDriven, AHostTypedInTheToolbarIsTracedOnEnter) {
    const fs::path root = prepare("typed", "");
    RunningApp app = start(root);
    ASSERT_TRUE(target_field_focused(app)) << "the field never took the click: " << app.log();
    // The trace that Enter starts puts its target first among the recent.
    // Whatever a lost try left in the field is selected and typed over; the
    // letters follow Ctrl+A at once, and none may count as a Ctrl chord.
    ASSERT_TRUE(app.act_until(
        [&] {
            app.xdotool("key ctrl+a");
            app.xdotool(std::string("type '") + test::kSimDestName + "'");
            app.xdotool("key Return");
        },
        [&] { return app.settings_have(std::string("recent=") + test::kSimDestName); }))
        << "the typed host was never traced: " << app.settings() << app.log();
    wait_for_history(root, 12);
    app.end();

    const std::vector<std::string> lines = csv_rows(root / "history");
    ASSERT_GE(lines.size(), 12u) << "no trace ran: " << app.log();
    std::set<int> hops;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], ',');
        if (f.size() != 7) continue;  // the empty tail after the last line end
        EXPECT_EQ(f[2], test::kSimDestName);
        hops.insert(std::atoi(f[3].c_str()));
    }
    EXPECT_EQ(hops.size(), static_cast<std::size_t>(kRouteHops + 1));
}

// The watch view without an open list shows the library; "Watch" on a saved
// list's card opens it and pings its hosts.
TEST_F(AppDriven, WatchOnALibraryCardPingsTheListsHosts) {
    const fs::path root = prepare("library", "", "mode=watch\n");
    fs::create_directories(root / "roaming" / "Corvane" / "Lists");
    std::ofstream(root / "roaming" / "Corvane" / "Lists" / "Bed.txt")
        << "# the simulated destination\n" << test::kSimDest << "  Destination\n";
    RunningApp app = start(root);
    ASSERT_TRUE(app.comes_to_show(kFirstCardWatch)) << app.log();
    ASSERT_TRUE(app.act_until([&] { app.xdotool(click_at(kFirstCardWatchX, kFirstCardWatchY)); },
                              [&] { return app.settings_have("watch_tabs=Bed"); }))
        << "the list was not opened: " << app.settings() << app.log();
    wait_for_history(root, 4);
    app.end();

    const std::vector<std::string> lines = csv_rows(root / "history");
    ASSERT_GE(lines.size(), 4u) << "the list was not watched: " << app.log();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], ',');
        if (f.size() != 7) continue;
        EXPECT_EQ(f[4], test::kSimDest);
        EXPECT_EQ(f[6], "ok");
    }
}

// Four running trace tabs; keys go to the window under the pointer. The tabs=
// line of settings.ini counts the tabs left once a picture shows the window
// has acted on a key.
constexpr const char* kFourTabs = "10.77.100.1 10.77.100.1 10.77.100.1 10.77.100.1";
constexpr const char* kPointerOnWindow = "mousemove --window \"$W\" 700 450";

std::size_t tabs_left(const std::string& settings) {
    for (const std::string& line : split(settings, '\n'))
        if (line.rfind("tabs=", 0) == 0) return split(line.substr(5), ' ').size();
    return 0;
}

// A Ctrl+W held for less than the window system's repeat delay is one press:
// it closes one tab, however many frames pass while it is held and however
// long past Dear ImGui's own repeat delay (0.275 s).
TEST_F(AppDriven, CtrlWHeldBrieflyClosesOneTab) {
    const fs::path root = prepare("held", kFourTabs);
    // On a display of its own the repeat delay is set to 10 s, beyond any
    // hold a busy machine could stretch this one to.
    RunningApp app = start(root, "", have_xvfb_ ? "xset r rate 10000 25" : "");
    ASSERT_TRUE(app.comes_to_show(kActiveTab)) << app.log();
    app.xdotool(kPointerOnWindow);
    ASSERT_TRUE(app.act_until(
        [&] {
            app.xdotool("keydown ctrl w");
            std::this_thread::sleep_for(450ms);
            app.picture();  // frames have seen it held that long
            app.xdotool("keyup w ctrl");
        },
        [&] { return tabs_left(app.settings()) != 4; }))
        << "Ctrl+W never arrived: " << app.settings() << app.log();
    app.picture();  // the release, too, has been acted on
    EXPECT_EQ(tabs_left(app.settings()), 3u) << app.settings();
}

// On a French layout Ctrl+W is the key that types "w" (in the US Z place);
// the key labelled Z, in the US W place, closes nothing. Pressed once and
// twice, so neither reading by place nor the layout left at US passes.
// Presses that fall into one frame act once: each waits until the window has
// acted on the last.
TEST_F(AppDriven, CtrlWFollowsTheKeyboardLayout) {
    if (!have_xvfb_) GTEST_SKIP() << "the layout is switched on a display of the test's own only";
    if (!on_path("setxkbmap")) GTEST_SKIP() << "setxkbmap is missing (x11-xkb-utils)";
    const fs::path root = prepare("azerty", kFourTabs);
    RunningApp app = start(root, "", "setxkbmap fr");
    ASSERT_TRUE(app.comes_to_show(kActiveTab)) << app.log();
    app.xdotool(kPointerOnWindow);
    // Keycode 25 is the US W place; xdotool finds the key for the keysym w.
    // Ctrl+M after it turns the sound on: keys reach the window.
    ASSERT_TRUE(app.act_until([&] { app.xdotool("key ctrl+25 ctrl+m"); },
                              [&] { return app.settings_have("sound=true"); }))
        << "Ctrl+M never arrived: " << app.settings() << app.log();
    EXPECT_EQ(tabs_left(app.settings()), 4u) << "the key labelled Z closed a tab: " << app.settings();
    for (const std::size_t left : {3u, 2u})
        ASSERT_TRUE(app.act_until([&] { app.xdotool("key ctrl+w"); },
                                  [&] { return tabs_left(app.settings()) <= left; }))
            << "Ctrl+W never arrived: " << app.settings() << app.log();
    EXPECT_EQ(tabs_left(app.settings()), 2u) << app.settings();
}

// The playback button asks the system's file dialog (here a stand-in zenity
// that answers with a recording); the recording opens and the playback bar
// shows under the central area.
TEST_F(AppDriven, TheToolbarOpensARecordingIntoThePlaybackBar) {
    const fs::path root = prepare("playback", "");
    const fs::path recording = root / (std::string(test::kSimDest) + ".csv");
    {
        std::ofstream csv(recording);
        csv << "time,unix_ms,target,hop,address,rtt_ms,result\n";
        for (int i = 0; i < 120; ++i) {
            const long long t = 1'765'000'000'000LL + i * 1000LL;
            for (int hop = 1; hop <= kRouteHops + 1; ++hop) {
                const std::string addr = hop <= kRouteHops ? test::sim_hop_addr(hop) : std::string(test::kSimDest);
                csv << "2025-12-06 05:46:" << (i % 60 < 10 ? "0" : "") << i % 60 << ".000," << t + hop << ","
                    << test::kSimDest << "," << hop << "," << addr << "," << 2 * hop << ",ok\n";
            }
        }
    }
    const fs::path asked = root / "picker-asked";
    RunningApp app =
        start(root, stand_in_zenity(root, ": >'" + asked.string() + "'\necho '" + recording.string() + "'\n"));
    ASSERT_TRUE(picker_opens(app, [&] { return fs::exists(asked); })) << "the picker never opened: " << app.log();
    app.xdotool("mousemove 0 0");  // no hover over what is probed

    // The bar's fill at its left margin, between the chart card and the
    // status bar; without a recording that is the chart panel's 10,10,10.
    const Picture shot = app.picture_showing(Spot{4, 820, {18, 12, 8}});
    ASSERT_TRUE(shot.loaded()) << app.log();
    EXPECT_EQ(shot.at(4, 820), (Rgb{18, 12, 8}));
    EXPECT_EQ(shot.at(700, 788), (Rgb{70, 32, 10})) << "the bar's top line";
}

// A sparse recording of a terabyte, picked while a trace records: the error
// banner shows, the window stays, the trace goes on, and at its end the
// history holds every probe.
TEST_F(AppDriven, ATerabyteRecordingIsAReadErrorAndTheTraceGoesOn) {
    const fs::path root = prepare("terabyte");
    const fs::path recording = root / "huge.csv";
    std::ofstream(recording).close();
    fs::resize_file(recording, std::uintmax_t(1) << 40);
    const fs::path picked = root / "picked";
    const std::uint64_t requests_before = sim_->counters().requests;
    RunningApp app =
        start(root, stand_in_zenity(root, "touch '" + picked.string() + "'\necho '" + recording.string() + "'\n"));
    ASSERT_TRUE(picker_opens(app, [&] { return fs::exists(picked); })) << "the picker never opened: " << app.log();
    constexpr Spot kErrorBanner{4, 110, {36, 12, 12}};  // below the tab strip
    ASSERT_TRUE(app.comes_to_show(kErrorBanner)) << app.log();
    // A round of rows for every hop written after the error.
    const std::size_t rows_at_error = csv_rows(root / "history").size();
    EXPECT_TRUE(wait_for_history(root, rows_at_error + kRouteHops + 1)) << "the trace stopped: " << app.log();
    app.end_cleanly();

    expect_every_probe_kept(root / "history", sim_->counters().requests - requests_before);
}

// SIGTERM while the recording picker is open (a stand-in zenity that does not
// answer for ten minutes, beyond the test's time): the picker, modal to the
// window, is ended with the program, and the history keeps every probe.
TEST_F(AppDriven, EndingWhileAPickerIsOpenKeepsEveryProbe) {
    const fs::path root = prepare("picker");
    const fs::path args = root / "zenity-args";
    const std::string zenity = stand_in_zenity(root, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                         args.string() + ".tmp'\nmv '" + args.string() + ".tmp' '" +
                                                         args.string() + "'\nexec sleep 600\n");
    const std::uint64_t requests_before = sim_->counters().requests;
    RunningApp app = start(root, zenity);
    // The window draws nothing while the picker is open: its arguments are
    // the click's effect.
    ASSERT_TRUE(picker_opens(app, [&] { return fs::exists(args); })) << "the picker never opened: " << app.log();
    const std::string window = app.window();
    wait_for_history(root, 12);
    app.end_cleanly();

    const std::vector<std::string> given = split(test::read_file(args), '\n');
    ASSERT_GE(given.size(), 3u) << "the picker never opened: " << app.log();
    EXPECT_EQ(given[1], "--modal");
    EXPECT_EQ(given[2], "--attach=" + window);
    expect_every_probe_kept(root / "history", sim_->counters().requests - requests_before);
}

}  // namespace
}  // namespace corvane::gui_test
