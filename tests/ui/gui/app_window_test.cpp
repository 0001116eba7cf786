// The real program on its own: it restores a trace tab from settings.ini,
// probes a route of the simulated network, shows the palette's panels, and
// when told to end (SIGTERM) leaves a row in the history for every probe.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app_window_support.h"
#include "support/net_support.h"

namespace corvane::gui_test {
namespace {

using namespace std::chrono_literals;

TEST_F(AppWindow, TheRestoredTraceShowsThePalettesPanels) {
    const fs::path root = prepare("capture");
    const fs::path png = root / "shot.png";
    const std::string cmd = command(root, "CORVANE_CAPTURE_PNG='" + png.string() + "' CORVANE_CAPTURE_FRAME=8",
                                    "timeout 120 '" CORVANE_EXECUTABLE "'");
    ASSERT_EQ(std::system(cmd.c_str()), 0) << test::read_file(root / "log");

    const Picture shot(png);
    ASSERT_TRUE(shot.loaded());
    ASSERT_EQ(shot.width(), 1400);
    ASSERT_EQ(shot.height(), 880);
    struct Probe {
        const char* what;
        int x, y;
        Rgb want;
    };
    const Probe probes[] = {
        {"toolbar", 940, 30, {10, 10, 10}},  // between the interval choices and the clock switch
        {"toolbar line", 700, 59, {31, 31, 31}},
        {"tab strip", 700, 80, {13, 13, 13}},
        {"tab strip line", 700, 99, {31, 31, 31}},
        {"summary strip top", 700, 101, {17, 17, 17}},
        {"summary strip line", 700, 203, {31, 31, 31}},
        {"hop table", 700, 300, {10, 10, 10}},
        {"chart card outline", 700, 628, {31, 31, 31}},
        {"chart card", 700, 730, {17, 17, 17}},
        {"chart panel margin", 12, 730, {10, 10, 10}},
        {"status bar line", 700, 852, {31, 31, 31}},
        {"status bar", 700, 866, {13, 13, 13}},
    };
    for (const Probe& p : probes) EXPECT_EQ(shot.at(p.x, p.y), p.want) << p.what;
}

TEST_F(AppWindow, EndingOnSigtermKeepsEveryProbeInTheHistory) {
    const fs::path root = prepare("sigterm");
    const fs::path pid_file = root / "pid";
    const std::uint64_t requests_before = sim_->counters().requests;
    // The shell writes the program's own pid, so the signal reaches it and
    // not the display wrapper.
    const std::string cmd = command(
        root, "", "sh -c 'echo $$ >\"" + pid_file.string() + "\"; exec timeout 120 \"" CORVANE_EXECUTABLE "\"'");
    const pid_t runner = ::fork();
    ASSERT_GE(runner, 0);
    if (runner == 0) {
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }

    // Wait until the history has rows of every hop on disk, then end it.
    const fs::path history = root / "history";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (csv_rows(history).size() < 12 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    pid_t program = 0;
    std::ifstream(pid_file) >> program;
    ASSERT_GT(program, 0) << test::read_file(root / "log");
    ASSERT_EQ(::kill(program, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(runner, &status, 0), runner);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << test::read_file(root / "log");

    expect_every_probe_kept(history, sim_->counters().requests - requests_before);
}

}  // namespace
}  // namespace corvane::gui_test
