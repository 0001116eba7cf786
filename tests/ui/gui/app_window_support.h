#pragma once
// The real program in the test bed: a settings folder of its own, a simulated
// route of three routers to 10.77.100.1, the window under Xvfb (or the
// display there is), and xdotool to click and type into it.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "netsim/simulator.h"
#include "support/test_support.h"

namespace corvane::gui_test {

namespace fs = std::filesystem;

inline constexpr int kRouteHops = 3;  // routers before the destination

bool on_path(const char* tool);
std::vector<std::string> split(const std::string& s, char sep);

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c);

// An RGB picture read from a PNG file; empty when it can't be read.
class Picture {
public:
    explicit Picture(const fs::path& png);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    bool loaded() const { return data_ != nullptr; }
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb at(int x, int y) const;

private:
    unsigned char* data_ = nullptr;
    int w_ = 0, h_ = 0;
};

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override;

    // A settings file (tabs `tabs`, history in root/history, probes every
    // 500 ms, no route checks, no sound) plus `extra` lines; returns root.
    fs::path prepare(const std::string& run, const std::string& tabs = "10.77.100.1", const std::string& extra = "");

    // The shell command that runs `program` with the folders of `root`.
    std::string command(const fs::path& root, const std::string& extra_env, const std::string& program) const;

    // Starts the program; once its window shows, runs the xdotool commands
    // of `actions` ("$W" is the window). `before` runs on the display first
    // (setxkbmap, say). The program's pid goes to root/pid. Returns the
    // runner's pid.
    pid_t start_driven(const fs::path& root, const std::string& actions, const std::string& extra_env = "",
                       const std::string& before = "");
    // Ends the program with SIGTERM and waits for the runner; its wait
    // status.
    int end_driven(const fs::path& root, pid_t runner);
    // Waits (60 s at most) until the first history file in root/history has
    // at least `lines` lines.
    void wait_for_history(const fs::path& root, std::size_t lines) const;

    // settings.ini as saved once it holds the line `line` (60 s at most).
    static std::string settings_once(const fs::path& root, const std::string& line);

    // The first history file in `history`, of a trace of the simulated
    // destination ended by SIGTERM, is whole and has a row for every echo the
    // simulator answered (`echoes`) but discovery's.
    static void expect_every_probe_kept(const fs::path& history, std::uint64_t echoes);

    // The rows of the first history file in `history`, split at line ends.
    static std::vector<std::string> csv_rows(const fs::path& history);

    bool have_xvfb_ = false;
    test::TempDir dir_;
    std::unique_ptr<netsim::Simulator> sim_;
};

}  // namespace corvane::gui_test
