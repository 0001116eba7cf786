// A user at the real window, driven with xdotool inside the test bed: what
// the toolbar, the list library and the playback button start must really
// run (rows in the history) or show (the playback bar).
#include <sys/wait.h>

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

// Positions in the 1400-point window, as the toolbar and the library lay
// them out at that width.
constexpr const char* kClickTargetField = "xdotool mousemove --window \"$W\" 400 29 click 1";
constexpr const char* kClickPlaybackButton = "xdotool mousemove --window \"$W\" 1275 29 click 1";
constexpr const char* kClickFirstCardWatch = "xdotool mousemove --window \"$W\" 90 303 click 1";

class AppDriven : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        if (IsSkipped()) return;
        if (!on_path("xdotool")) GTEST_SKIP() << "xdotool is missing: no way to click or type into the window";
    }
};

// Click the target field, type a host name, press Enter: the trace runs, and
// its history has rows for every hop under the name as typed.
TEST_F(AppDriven, AHostTypedInTheToolbarIsTracedOnEnter) {
    const fs::path root = prepare("typed", "");
    const pid_t runner = start_driven(root, std::string(kClickTargetField) +
                                                "; sleep 0.5; xdotool type --delay 30 '" + test::kSimDestName +
                                                "'; xdotool key Return");
    wait_for_history(root, 12);
    end_driven(root, runner);

    const std::vector<std::string> lines = csv_rows(root / "history");
    ASSERT_GE(lines.size(), 12u) << "no trace ran: " << test::read_file(root / "log");
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
    const pid_t runner = start_driven(root, kClickFirstCardWatch);
    wait_for_history(root, 4);
    end_driven(root, runner);

    const std::vector<std::string> lines = csv_rows(root / "history");
    ASSERT_GE(lines.size(), 4u) << "the list was not watched: " << test::read_file(root / "log");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], ',');
        if (f.size() != 7) continue;
        EXPECT_EQ(f[4], test::kSimDest);
        EXPECT_EQ(f[6], "ok");
    }
}

// Four running trace tabs; the tabs= line of settings.ini, once Ctrl+M (sent
// last) has turned the sound on, counts those left: every key sent before it
// has been acted on by then.
constexpr const char* kFourTabs = "10.77.100.1 10.77.100.1 10.77.100.1 10.77.100.1";
constexpr const char* kPointerOnWindow = "xdotool mousemove --window \"$W\" 700 450";
constexpr const char* kSoundOnLast = "xdotool key ctrl+m";

std::size_t tabs_left(const std::string& settings) {
    for (const std::string& line : split(settings, '\n'))
        if (line.rfind("tabs=", 0) == 0) return split(line.substr(5), ' ').size();
    return 0;
}

// A Ctrl+W held for less than the window system's repeat delay is one press:
// it closes one tab, however many frames pass while it is held.
TEST_F(AppDriven, CtrlWHeldBrieflyClosesOneTab) {
    const fs::path root = prepare("held", kFourTabs);
    const pid_t runner = start_driven(root, std::string(kPointerOnWindow) +
                                                "; xdotool keydown ctrl w; sleep 0.45; xdotool keyup w ctrl; " +
                                                kSoundOnLast);
    const std::string settings = settings_once(root, "sound=true");
    end_driven(root, runner);
    ASSERT_NE(settings.find("\nsound=true\n"), std::string::npos) << "Ctrl+M never arrived: " << settings << test::read_file(root / "log");
    EXPECT_EQ(tabs_left(settings), 3u) << settings;
}

// On a French layout Ctrl+W is the key that types "w" (in the US Z place);
// the key labelled Z, in the US W place, closes nothing. Pressed once and
// twice, so neither reading by place nor the layout left at US passes.
// Presses that fall into one frame act once, and a busy machine draws slow
// frames: each press waits until settings.ini shows what the last one did.
TEST_F(AppDriven, CtrlWFollowsTheKeyboardLayout) {
    if (!have_xvfb_) GTEST_SKIP() << "the layout is switched on a display of the test's own only";
    if (!on_path("setxkbmap")) GTEST_SKIP() << "setxkbmap is missing (x11-xkb-utils)";
    const fs::path root = prepare("azerty", kFourTabs);
    const fs::path ini = root / "roaming" / "Corvane" / "settings.ini";
    const fs::path after_z = root / "after-z";
    const std::string three_tabs = "tabs=10.77.100.1 10.77.100.1 10.77.100.1";
    const std::string two_tabs = "tabs=10.77.100.1 10.77.100.1";
    const auto until = [&](const std::string& line) {
        return "timeout 30 sh -c 'until grep -qxF \"" + line + "\" \"" + ini.string() +
               "\"; do sleep 0.1; done'; ";
    };
    // Keycode 25 is the US W place; xdotool finds the key for the keysym w.
    // Ctrl+M after it: once the sound is on, Ctrl+25 has been acted on too.
    const std::string keys = "; xdotool key ctrl+25 ctrl+m; " + until("sound=true") + "cp '" + ini.string() +
                             "' '" + after_z.string() + "'; xdotool key ctrl+w; " + until(three_tabs) +
                             "xdotool key ctrl+w";
    const pid_t runner = start_driven(root, kPointerOnWindow + keys, "", "setxkbmap fr");
    const std::string settings = settings_once(root, two_tabs);
    end_driven(root, runner);
    const std::string before_w = test::read_file(after_z);
    ASSERT_NE(before_w.find("\nsound=true\n"), std::string::npos)
        << "Ctrl+M never arrived: " << before_w << test::read_file(root / "log");
    EXPECT_EQ(tabs_left(before_w), 4u) << "the key labelled Z closed a tab: " << before_w;
    EXPECT_EQ(tabs_left(settings), 2u) << settings << test::read_file(root / "log");
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
    fs::create_directories(root / "bin");
    {
        std::ofstream zenity(root / "bin" / "zenity");
        zenity << "#!/bin/sh\necho '" << recording.string() << "'\n";
    }
    fs::permissions(root / "bin" / "zenity", fs::perms::owner_all);
    const fs::path png = root / "shot.png";
    const fs::path moved = root / "pointer-moved";
    // The capture ends the program itself, a hundred frames after the pointer
    // has left the button (the picker has answered by then).
    const pid_t runner = start_driven(
        root, std::string(kClickPlaybackButton) + "; sleep 1; xdotool mousemove 0 0; touch '" + moved.string() + "'",
        "PATH='" + (root / "bin").string() + "':\"$PATH\" CORVANE_CAPTURE_PNG='" + png.string() +
            "' CORVANE_CAPTURE_FRAME=100 CORVANE_CAPTURE_AFTER='" + moved.string() + "'");
    int status = 0;
    ASSERT_EQ(::waitpid(runner, &status, 0), runner);

    const Picture shot(png);
    ASSERT_TRUE(shot.loaded()) << test::read_file(root / "log");
    // The bar's fill at its left margin, between the chart card and the
    // status bar; without a recording that is the chart panel's 10,10,10.
    EXPECT_EQ(shot.at(4, 820), (Rgb{18, 12, 8}));
    EXPECT_EQ(shot.at(700, 788), (Rgb{70, 32, 10})) << "the bar's top line";
}

// A sparse recording of a terabyte, picked while a trace records: the error
// banner shows, the window stays, and at its end (the capture's) the trace's
// history holds every probe.
TEST_F(AppDriven, ATerabyteRecordingIsAReadErrorAndTheTraceGoesOn) {
    const fs::path root = prepare("terabyte");
    const fs::path recording = root / "huge.csv";
    std::ofstream(recording).close();
    fs::resize_file(recording, std::uintmax_t(1) << 40);
    const fs::path picked = root / "picked";
    fs::create_directories(root / "bin");
    std::ofstream(root / "bin" / "zenity") << "#!/bin/sh\ntouch '" << picked.string() << "'\necho '"
                                           << recording.string() << "'\n";
    fs::permissions(root / "bin" / "zenity", fs::perms::owner_all);
    const fs::path png = root / "shot.png";
    const std::uint64_t requests_before = sim_->counters().requests;
    const pid_t runner = start_driven(root, std::string("sleep 1; ") + kClickPlaybackButton,
                                      "PATH='" + (root / "bin").string() + "':\"$PATH\" CORVANE_CAPTURE_PNG='" +
                                          png.string() + "' CORVANE_CAPTURE_FRAME=20 CORVANE_CAPTURE_AFTER='" +
                                          picked.string() + "'");
    int status = 0;
    ASSERT_EQ(::waitpid(runner, &status, 0), runner);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << test::read_file(root / "log");
    const Picture shot(png);
    ASSERT_TRUE(shot.loaded()) << test::read_file(root / "log");
    EXPECT_EQ(shot.at(4, 110), (Rgb{36, 12, 12})) << "the error banner below the tab strip";
    expect_every_probe_kept(root / "history", sim_->counters().requests - requests_before);
}

// SIGTERM while the recording picker is open (a stand-in zenity that does not
// answer for ten minutes, beyond the test's time): the picker, modal to the
// window, is ended with the program, and the history keeps every probe.
TEST_F(AppDriven, EndingWhileAPickerIsOpenKeepsEveryProbe) {
    const fs::path root = prepare("picker");
    const fs::path args = root / "zenity-args";
    fs::create_directories(root / "bin");
    std::ofstream(root / "bin" / "zenity") << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                           << args.string() << ".tmp'\nmv '" << args.string() << ".tmp' '"
                                           << args.string() << "'\nexec sleep 600\n";
    fs::permissions(root / "bin" / "zenity", fs::perms::owner_all);
    const std::uint64_t requests_before = sim_->counters().requests;
    const pid_t runner =
        start_driven(root, "echo \"$W\" >'" + (root / "window").string() + "'; " + kClickPlaybackButton,
                     "PATH='" + (root / "bin").string() + "':\"$PATH\"");
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!fs::exists(args) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(100ms);
    wait_for_history(root, 12);
    const int status = end_driven(root, runner);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << test::read_file(root / "log");
    std::string window;
    std::ifstream(root / "window") >> window;
    const std::vector<std::string> given = split(test::read_file(args), '\n');
    ASSERT_GE(given.size(), 3u) << "the picker never opened: " << test::read_file(root / "log");
    EXPECT_EQ(given[1], "--modal");
    EXPECT_EQ(given[2], "--attach=" + window);
    expect_every_probe_kept(root / "history", sim_->counters().requests - requests_before);
}

}  // namespace
}  // namespace corvane::gui_test
