#pragma once
// The real program in the test bed: a settings folder of its own, a simulated
// route of three routers to 10.77.100.1, the window under Xvfb (or the
// display there is), pictures of it on request, and xdotool to click and
// type into it.
//
// A test acts on the window only once a picture shows what it acts on, and
// then waits for the effect: no sleep guesses how long a busy machine takes.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "netsim/simulator.h"
#include "support/test_support.h"

namespace corvane::gui_test {

namespace fs = std::filesystem;

inline constexpr int kRouteHops = 3;  // routers before the destination
// How long a test waits for anything the program is to show or write; only a
// hang takes that long.
inline constexpr std::chrono::seconds kPatience{60};

bool on_path(const char* tool);
std::vector<std::string> split(const std::string& s, char sep);
// Polls `pred` until it holds or `limit` has passed; whether it held.
bool eventually(const std::function<bool()>& pred, std::chrono::milliseconds limit = kPatience);

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c);

// A point of the window and the colour it has once something is drawn there.
struct Spot {
    int x, y;
    Rgb colour;
};

// The toolbar's middle line in the 1400-point window.
inline constexpr int kToolbarY = 29;

// xdotool arguments that click the window at (x, y).
std::string click_at(int x, int y);

// An RGB picture read from a PNG file; empty when it can't be read.
class Picture {
public:
    Picture() = default;
    explicit Picture(const fs::path& png);
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    bool loaded() const { return data_ != nullptr; }
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb at(int x, int y) const;
    // Whether it is loaded and has the spot's colour there.
    bool shows(const Spot& s) const;

private:
    unsigned char* data_ = nullptr;
    int w_ = 0, h_ = 0;
};

// The program started by AppWindow::start, running until end() (or the end
// of the test).
class RunningApp {
public:
    RunningApp(fs::path root, pid_t runner) : root_(std::move(root)), runner_(runner) {}
    RunningApp(RunningApp&& other) noexcept;
    RunningApp& operator=(RunningApp&&) = delete;
    ~RunningApp();

    // A picture of the window drawn once the window has acted on every input
    // sent before the call. Not loaded when none came within kPatience, or
    // as soon as `unless` holds (a picker keeps the window from drawing).
    Picture picture(const std::function<bool()>& unless = {}) const;
    // Pictures until one shows `spot` (kPatience at most); the last one
    // taken.
    Picture picture_showing(const Spot& spot) const;
    // Whether a picture comes to show `spot` (kPatience at most).
    bool comes_to_show(const Spot& spot) const { return picture_showing(spot).shows(spot); }

    // Runs shell command `cmd` on the program's display with "$W" its
    // window; its standard output.
    std::string on_display(const std::string& cmd) const;
    // xdotool with `args` on the program's display.
    void xdotool(const std::string& args) const { on_display("xdotool " + args); }
    // The window's X11 id.
    std::string window() const;
    // The colour the screen shows at (x, y), whatever window is there;
    // nothing when it can't be read. The display must let this user in
    // without its authority file (start with `before` "xhost +si:localuser:$(id -un)").
    std::optional<Rgb> screen_pixel(int x, int y) const;

    // Takes `action` until `done` holds (kPatience at most). After each time
    // it waits until the window has acted on the action (or `done` holds),
    // and acts again only when `done` still does not hold: an action lost
    // because the window was not ready is taken again, one that was acted on
    // never twice. `done` must hold by the end of the frame that acts.
    bool act_until(const std::function<void()>& action, const std::function<bool()>& done) const;
    // The same, until a picture taken once the window has acted on the
    // action shows `spot`.
    bool act_until_shows(const std::function<void()>& action, const Spot& spot) const;

    // settings.ini as the program last saved it.
    std::string settings() const;
    bool settings_have(const std::string& line) const;
    std::string log() const;
    // Whether the program (its runner) has not ended yet.
    bool running() const;

    // Ends the program with SIGTERM; the runner's wait status.
    int end();
    // Ends it so, expecting it to end cleanly.
    void end_cleanly();

private:
    fs::path root_;
    pid_t runner_ = -1;
};

// Once `app` shows the toolbar's target field, clicks it until a picture
// shows it has the focus; whether it came to.
bool target_field_focused(const RunningApp& app);
// Once `app` shows the playback button, clicks it until `opened` holds (the
// picker it asks for ran); whether it came to.
bool picker_opens(const RunningApp& app, const std::function<bool()>& opened);

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override;

    // A settings file (tabs `tabs`, history in root/history, probes every
    // 500 ms, no route checks, no sound) plus `extra` lines; returns root.
    fs::path prepare(const std::string& run, const std::string& tabs = "10.77.100.1", const std::string& extra = "");

    // The shell command that runs `program` with the folders of `root`.
    std::string command(const fs::path& root, const std::string& extra_env, const std::string& program) const;

    // Starts the program with the folders of `root` and `extra_env`; `before`
    // runs on its display first (setxkbmap, say).
    RunningApp start(const fs::path& root, const std::string& extra_env = "", const std::string& before = "");

    // Waits (kPatience at most) until the first history file in root/history
    // has at least `lines` lines; whether it came to.
    bool wait_for_history(const fs::path& root, std::size_t lines) const;

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
