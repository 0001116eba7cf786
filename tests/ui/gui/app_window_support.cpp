#include "app_window_support.h"

#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

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

bool eventually(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << "," << c.g << "," << c.b; }

std::string click_at(int x, int y) {
    return "mousemove --window \"$W\" " + std::to_string(x) + " " + std::to_string(y) + " click 1";
}

Picture::Picture(const fs::path& png) { data_ = stbi_load(png.c_str(), &w_, &h_, nullptr, 3); }
Picture::~Picture() {
    if (data_) stbi_image_free(data_);
}
Picture::Picture(Picture&& other) noexcept { *this = std::move(other); }
Picture& Picture::operator=(Picture&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(w_, other.w_);
    std::swap(h_, other.h_);
    return *this;
}
Rgb Picture::at(int x, int y) const {
    const unsigned char* p = data_ + (static_cast<std::size_t>(y) * w_ + x) * 3;
    return Rgb{p[0], p[1], p[2]};
}
bool Picture::shows(const Spot& s) const {
    return loaded() && s.x >= 0 && s.y >= 0 && s.x < w_ && s.y < h_ && at(s.x, s.y) == s.colour;
}

namespace {

// The program's pid as its runner wrote it; 0 before.
pid_t program_pid(const fs::path& root) {
    pid_t pid = 0;
    std::ifstream(root / "pid") >> pid;
    return pid;
}

}  // namespace

RunningApp::RunningApp(RunningApp&& other) noexcept
    : root_(std::move(other.root_)), runner_(std::exchange(other.runner_, -1)) {}

RunningApp::~RunningApp() {
    if (runner_ > 0) end();
}

bool RunningApp::running() const {
    siginfo_t info{};
    return runner_ > 0 && ::waitid(P_PID, static_cast<id_t>(runner_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

Picture RunningApp::picture(const std::function<bool()>& unless) const {
    const fs::path wanted = root_ / "frame.wanted";
    const fs::path png = root_ / "frame.png";
    const auto answered = [&] { return !fs::exists(wanted) || (unless && unless()) || !running(); };
    // A request that `unless` cut short is answered first: its picture may
    // come from a frame older than this call.
    eventually(answered);
    if (fs::exists(wanted) || (unless && unless())) return {};
    std::error_code ec;
    fs::remove(png, ec);
    std::ofstream(wanted).close();
    eventually(answered);
    if (fs::exists(wanted)) return {};
    return Picture(png);
}

Picture RunningApp::picture_showing(const Spot& spot) const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        Picture p = picture();
        if (!p.loaded() || p.shows(spot) || std::chrono::steady_clock::now() >= deadline) return p;
        std::this_thread::sleep_for(200ms);
    }
}

std::string RunningApp::on_display(const std::string& cmd) const {
    std::string display, xauthority;
    eventually([&] { return fs::exists(root_ / "display"); });
    {
        std::ifstream in(root_ / "display");
        std::getline(in, display);
        std::getline(in, xauthority);
    }
    std::string line = "DISPLAY='" + display + "'; export DISPLAY; ";
    if (!xauthority.empty()) line += "XAUTHORITY='" + xauthority + "'; export XAUTHORITY; ";
    if (cmd.find("$W") != std::string::npos)
        line += "W=$(timeout 60 xdotool search --sync --onlyvisible --name '^Corvane$' | head -n 1); ";
    line += cmd;
    std::string out;
    if (FILE* f = ::popen(line.c_str(), "r")) {
        char buf[256];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
        ::pclose(f);
    }
    return out;
}

std::string RunningApp::window() const {
    std::string w = on_display("echo \"$W\"");
    while (!w.empty() && w.back() == '\n') w.pop_back();
    return w;
}

std::optional<Rgb> RunningApp::screen_pixel(int x, int y) const {
    const std::vector<std::string> lines = split(test::read_file(root_ / "display"), '\n');
    if (lines.empty() || lines[0].empty()) return std::nullopt;
    Display* d = XOpenDisplay(lines[0].c_str());
    if (d == nullptr) return std::nullopt;
    std::optional<Rgb> out;
    if (XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap)) {
        const unsigned long p = XGetPixel(image, 0, 0);
        // A 24-bit TrueColor screen, as the tests' Xvfb has.
        out = Rgb{static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff), static_cast<int>(p & 0xff)};
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return out;
}

bool RunningApp::act_until(const std::function<void()>& action, const std::function<bool()>& done) const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        action();
        if (!picture(done).loaded() && !done()) return false;  // the window stopped drawing
    }
    return true;
}

bool RunningApp::act_until_shows(const std::function<void()>& action, const Spot& spot) const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        action();
        const Picture p = picture();
        if (p.shows(spot)) return true;
        if (!p.loaded() || std::chrono::steady_clock::now() >= deadline) return false;
    }
}

std::string RunningApp::settings() const { return test::read_file(root_ / "roaming" / "Corvane" / "settings.ini"); }

bool RunningApp::settings_have(const std::string& line) const {
    for (const std::string& l : split(settings(), '\n'))
        if (l == line) return true;
    return false;
}

std::string RunningApp::log() const { return test::read_file(root_ / "log"); }

int RunningApp::end() {
    if (runner_ <= 0) return -1;
    eventually([&] { return program_pid(root_) > 0 || !running(); });
    const pid_t program = program_pid(root_);
    if (program > 0) ::kill(program, SIGTERM);
    int status = 0;
    EXPECT_EQ(::waitpid(runner_, &status, 0), runner_);
    runner_ = -1;
    return status;
}

void RunningApp::end_cleanly() {
    const int status = end();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << log();
}

namespace {

// Places of the toolbar as it is laid out at 1400 points, and spots that show
// them drawn.
constexpr int kTargetFieldX = 400;
constexpr int kPlaybackButtonX = 1275;
constexpr Spot kTargetField{298, kToolbarY, {42, 42, 42}};  // its left outline
constexpr Spot kTargetFieldFocused{298, kToolbarY, {255, 90, 15}};
constexpr Spot kPlaybackButton{kPlaybackButtonX, kToolbarY, {190, 190, 190}};  // its icon

}  // namespace

bool target_field_focused(const RunningApp& app) {
    return app.comes_to_show(kTargetField) &&
           app.act_until_shows([&] { app.xdotool(click_at(kTargetFieldX, kToolbarY)); }, kTargetFieldFocused);
}

bool picker_opens(const RunningApp& app, const std::function<bool()>& opened) {
    return app.comes_to_show(kPlaybackButton) &&
           app.act_until([&] { app.xdotool(click_at(kPlaybackButtonX, kToolbarY)); }, opened);
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

RunningApp AppWindow::start(const fs::path& root, const std::string& extra_env, const std::string& before) {
    const std::string r = root.string();
    // The program's pid, then the display it is on, to files of root.
    const std::string script = (before.empty() ? "" : before + "; ") + "\"" CORVANE_EXECUTABLE "\" & P=$!; " +
                               "echo $P >\"" + r + "/pid\"; printf '%s\\n%s\\n' \"$DISPLAY\" \"${XAUTHORITY:-}\" >\"" +
                               r + "/display.part\" && mv \"" + r + "/display.part\" \"" + r + "/display\"; wait $P";
    std::string quoted;
    for (char c : script) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string cmd = command(
        root, "CORVANE_CAPTURE_PNG='" + r + "/frame.png' CORVANE_CAPTURE_ON='" + r + "/frame.wanted' " + extra_env,
        "timeout 120 sh -c '" + quoted + "'");
    const pid_t runner = ::fork();
    if (runner == 0) {
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return RunningApp(root, runner);
}

bool AppWindow::wait_for_history(const fs::path& root, std::size_t lines) const {
    return eventually([&] { return csv_rows(root / "history").size() >= lines; });
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
