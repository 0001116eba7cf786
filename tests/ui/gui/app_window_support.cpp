#include "app_window_support.h"

#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/net_support.h"

namespace corvane::gui_test {

using namespace std::chrono_literals;

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

std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << "," << c.g << "," << c.b; }

Picture::Picture(const fs::path& png) { data_ = stbi_load(png.c_str(), &w_, &h_, nullptr, 3); }
Picture::~Picture() {
    if (data_) stbi_image_free(data_);
}
Rgb Picture::at(int x, int y) const {
    const unsigned char* p = data_ + (static_cast<std::size_t>(y) * w_ + x) * 3;
    return Rgb{p[0], p[1], p[2]};
}

void AppWindow::SetUp() {
    const char* display = std::getenv("DISPLAY");
    have_xvfb_ = on_path("xvfb-run") && on_path("Xvfb");
    if (!have_xvfb_ && (display == nullptr || *display == '\0'))
        GTEST_SKIP() << "no DISPLAY and no Xvfb: the window cannot open here";
    if (auto why = test::netbed_missing()) GTEST_SKIP() << *why;
    sim_ = std::make_unique<netsim::Simulator>(test::kSimDevice, 7);
    sim_->set_destination(test::sim_route(test::kSimDest, kRouteHops, 1));
}

fs::path AppWindow::prepare(const std::string& run, const std::string& tabs, const std::string& extra) {
    const fs::path root = dir_.path() / run;
    fs::create_directories(root / "roaming" / "Corvane");
    fs::create_directories(root / "local");
    std::ofstream(root / "roaming" / "Corvane" / "settings.ini")
        << "tabs=" << tabs << "\nactive_tab=0\nprobe_ms=500\nroute_secs=0\nsound=false\n"
        << "flash=false\nmaximized=false\nresume=true\nmode=trace\nview=instrument\nhistory_dir="
        << (root / "history").string() << "\n"
        << extra;
    return root;
}

std::string AppWindow::command(const fs::path& root, const std::string& extra_env, const std::string& program) const {
    std::string cmd = "cd '" + root.string() + "' && exec env APPDATA='" + (root / "roaming").string() +
                      "' LOCALAPPDATA='" + (root / "local").string() + "' WINDIR='" + root.string() +
                      "' TZ=UTC ASAN_OPTIONS=detect_leaks=0 " + extra_env + " ";
    // Without -noreset the server resets when its last client leaves, which
    // drops a keymap set by setxkbmap before the program connects.
    if (have_xvfb_) cmd += "xvfb-run -a -s '-screen 0 1400x900x24 -nolisten tcp -noreset' ";
    return cmd + program + " >'" + (root / "log").string() + "' 2>&1";
}

pid_t AppWindow::start_driven(const fs::path& root, const std::string& actions, const std::string& extra_env,
                              const std::string& before) {
    const std::string script = (before.empty() ? "" : before + "; ") + "\"" CORVANE_EXECUTABLE "\" & P=$!; echo $P >\"" + (root / "pid").string() +
                               "\"; W=$(timeout 60 xdotool search --sync --onlyvisible --name '^Corvane$' | "
                               "head -n 1); sleep 1; " +
                               actions + "; wait $P";
    std::string quoted;
    for (char c : script) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string cmd = command(root, extra_env, "timeout 120 sh -c '" + quoted + "'");
    const pid_t runner = ::fork();
    if (runner == 0) {
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return runner;
}

int AppWindow::end_driven(const fs::path& root, pid_t runner) {
    pid_t program = 0;
    std::ifstream(root / "pid") >> program;
    EXPECT_GT(program, 0) << test::read_file(root / "log");
    if (program > 0) ::kill(program, SIGTERM);
    int status = 0;
    EXPECT_EQ(::waitpid(runner, &status, 0), runner);
    return status;
}

void AppWindow::wait_for_history(const fs::path& root, std::size_t lines) const {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (csv_rows(root / "history").size() < lines && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
}

std::string AppWindow::settings_once(const fs::path& root, const std::string& line) {
    const fs::path ini = root / "roaming" / "Corvane" / "settings.ini";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    for (;;) {
        const std::string text = test::read_file(ini);
        for (const std::string& l : split(text, '\n'))
            if (l == line) return text;
        if (std::chrono::steady_clock::now() >= deadline) return text;
        std::this_thread::sleep_for(100ms);
    }
}

void AppWindow::expect_every_probe_kept(const fs::path& history, std::uint64_t echoes) {
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
    // Discovery's echoes (TTL 1 to 4) write no row; every other echo has its
    // row, also those in flight at the signal.
    EXPECT_EQ(rows.size() + kRouteHops + 1, echoes);
}

std::vector<std::string> AppWindow::csv_rows(const fs::path& history) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(history, ec))
        if (e.path().extension() == ".csv") return split(test::read_file(e.path()), '\n');
    return {};
}

}  // namespace corvane::gui_test
