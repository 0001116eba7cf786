#include "live_display.h"

#include <sys/wait.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/test_support.h"

namespace corvane::gui_test {

using namespace std::chrono_literals;

std::string LiveDisplay::handover(const fs::path& root) {
    const std::string file = (root / "display").string();
    return "xhost +si:localuser:$(id -un) >/dev/null; printf '%s\\n%s\\n' \"$DISPLAY\" \"$W\" >'" + file +
           ".tmp' && mv '" + file + ".tmp' '" + file + "'";
}

bool LiveDisplay::attach(const fs::path& root) {
    if (!wait_until([&] { return fs::exists(root / "display"); }, 60)) return false;
    const std::vector<std::string> lines = split(test::read_file(root / "display"), '\n');
    if (lines.size() < 2 || lines[0].empty() || lines[1].empty()) return false;
    display_ = lines[0];
    window_ = lines[1];
    return true;
}

std::string LiveDisplay::run(const std::string& command) const {
    std::string quoted;
    for (char c : command) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string full = "DISPLAY='" + display_ + "' W='" + window_ + "' sh -c '" + quoted + "' 2>/dev/null";
    std::string out;
    if (FILE* p = ::popen(full.c_str(), "r")) {
        std::array<char, 4096> buf;
        for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;) out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}

std::optional<Rgb> LiveDisplay::pixel(int x, int y) const {
    Display* d = XOpenDisplay(display_.c_str());
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

void expect_clean_end(int status, const fs::path& root) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << test::read_file(root / "log");
}

bool wait_until(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
}

}  // namespace corvane::gui_test
