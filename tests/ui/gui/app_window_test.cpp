// The real program on its own: it restores a trace tab from settings.ini,
// probes a route of the simulated network, shows the palette's panels, and
// when told to end (SIGTERM) leaves a row in the history for every probe.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/net_support.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kRouteHops = 3;  // routers before the destination

bool on_path(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::stringstream in(s);
    for (std::string part; std::getline(in, part, sep);) out.push_back(part);
    if (!s.empty() && s.back() == sep) out.emplace_back();
    return out;
}

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        have_xvfb_ = on_path("xvfb-run") && on_path("Xvfb");
        if (!have_xvfb_ && (display == nullptr || *display == '\0'))
            GTEST_SKIP() << "no DISPLAY and no Xvfb: the window cannot open here";
        if (auto why = test::netbed_missing()) GTEST_SKIP() << *why;
        sim_ = std::make_unique<netsim::Simulator>(test::kSimDevice, 7);
        sim_->set_destination(test::sim_route(test::kSimDest, kRouteHops, 1));
    }

    // A settings file that resumes one trace tab to the simulated route and
    // keeps its history in `history`.
    fs::path prepare(const std::string& run, const std::string& tabs = test::kSimDest) {
        const fs::path root = dir_.path() / run;
        fs::create_directories(root / "roaming" / "Corvane");
        fs::create_directories(root / "local");
        std::ofstream(root / "roaming" / "Corvane" / "settings.ini")
            << "tabs=" << tabs << "\nactive_tab=0\nprobe_ms=500\nroute_secs=0\nsound=false\n"
            << "flash=false\nmaximized=false\nresume=true\nmode=trace\nview=instrument\nhistory_dir="
            << (root / "history").string() << "\n";
        return root;
    }

    std::string command(const fs::path& root, const std::string& extra_env, const std::string& program) const {
        std::string cmd = "cd '" + root.string() + "' && exec env APPDATA='" + (root / "roaming").string() +
                          "' LOCALAPPDATA='" + (root / "local").string() + "' WINDIR='" + root.string() +
                          "' TZ=UTC ASAN_OPTIONS=detect_leaks=0 " + extra_env + " ";
        if (have_xvfb_) cmd += "xvfb-run -a -s '-screen 0 1400x900x24 -nolisten tcp' ";
        return cmd + program + " >'" + (root / "log").string() + "' 2>&1";
    }

    // The rows of the first history file in `history`, split at line ends.
    static std::vector<std::string> csv_rows(const fs::path& history) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(history, ec))
            if (e.path().extension() == ".csv") return split(test::read_file(e.path()), '\n');
        return {};
    }

    bool have_xvfb_ = false;
    test::TempDir dir_;
    std::unique_ptr<netsim::Simulator> sim_;
};

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << "," << c.g << "," << c.b; }

TEST_F(AppWindow, TheRestoredTraceShowsThePalettesPanels) {
    const fs::path root = prepare("capture");
    const fs::path png = root / "shot.png";
    const std::string cmd = command(root, "CORVANE_CAPTURE_PNG='" + png.string() + "' CORVANE_CAPTURE_FRAME=8",
                                    "timeout 120 '" CORVANE_EXECUTABLE "'");
    ASSERT_EQ(std::system(cmd.c_str()), 0) << test::read_file(root / "log");

    int w = 0, h = 0;
    unsigned char* data = stbi_load(png.c_str(), &w, &h, nullptr, 3);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(w, 1400);
    ASSERT_EQ(h, 880);
    auto at = [&](int x, int y) {
        const unsigned char* p = data + (static_cast<std::size_t>(y) * w + x) * 3;
        return Rgb{p[0], p[1], p[2]};
    };
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
    for (const Probe& p : probes) EXPECT_EQ(at(p.x, p.y), p.want) << p.what;
    stbi_image_free(data);
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

    std::vector<std::string> lines = csv_rows(history);
    ASSERT_FALSE(lines.empty());
    ASSERT_TRUE(lines.back().empty()) << "the last row is cut short: " << lines.back();
    lines.pop_back();
    EXPECT_EQ(lines.front(), "time,unix_ms,target,hop,address,rtt_ms,result");
    const std::vector<std::string> rows(lines.begin() + 1, lines.end());
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        const std::vector<std::string> f = split(row, ',');
        ASSERT_EQ(f.size(), 7u);
        EXPECT_EQ(f[2], test::kSimDest);
        const int hop = std::atoi(f[3].c_str());
        ASSERT_GE(hop, 1);
        ASSERT_LE(hop, kRouteHops + 1);
        EXPECT_EQ(f[4], hop <= kRouteHops ? test::sim_hop_addr(hop) : std::string(test::kSimDest));
        EXPECT_EQ(f[6], "ok");
        EXPECT_EQ(std::to_string(std::atoll(f[1].c_str())), f[1]);
    }
    // Discovery's echoes (TTL 1 to 4) write no row; every other echo the
    // simulator answered has its row, also those in flight at the signal.
    const std::uint64_t echoes = sim_->counters().requests - requests_before;
    EXPECT_EQ(rows.size() + kRouteHops + 1, echoes);
}

// A user's first trace: click the toolbar's target field, type a host name,
// press Enter. The trace runs: its history gets rows for every hop, under the
// name as typed.
TEST_F(AppWindow, AHostTypedInTheToolbarIsTracedOnEnter) {
    if (!on_path("xdotool")) GTEST_SKIP() << "xdotool is missing: no way to type into the window";
    const fs::path root = prepare("typed", "");
    const fs::path pid_file = root / "pid";
    // The field sits left of the Start button in the toolbar's first 60 points.
    const std::string script =
        "\"" CORVANE_EXECUTABLE "\" & P=$!; echo $P >\"" + pid_file.string() +
        "\"; W=$(timeout 60 xdotool search --sync --onlyvisible --name '^Corvane$' | head -n 1); sleep 1; "
        "xdotool mousemove --window \"$W\" 400 29 click 1; sleep 0.5; "
        "xdotool type --delay 30 '" + std::string(test::kSimDestName) + "'; xdotool key Return; wait $P";
    const std::string cmd = command(root, "", "timeout 120 sh -c '" + [&] {
        std::string quoted;
        for (char c : script) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted;
    }() + "'");
    const pid_t runner = ::fork();
    ASSERT_GE(runner, 0);
    if (runner == 0) {
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }

    const fs::path history = root / "history";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (csv_rows(history).size() < 12 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    pid_t program = 0;
    std::ifstream(pid_file) >> program;
    ASSERT_GT(program, 0) << test::read_file(root / "log");
    ::kill(program, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(runner, &status, 0), runner);

    std::vector<std::string> lines = csv_rows(history);
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

}  // namespace
}  // namespace corvane
