#pragma once
// The display a driven program's window is on, reached from the test itself,
// so that each step can wait for what the window shows or saves before the
// next one acts.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app_window_support.h"

namespace corvane::gui_test {

class LiveDisplay {
public:
    // Shell commands for start_driven's actions: they hand the display and
    // the window over through a file in `root`, and let this user's programs
    // on the display without its authority file.
    static std::string handover(const fs::path& root);
    // Waits (60 s at most) for the hand-over; false when it never came.
    bool attach(const fs::path& root);

    // Runs the shell command `command` on the display; its standard output.
    std::string run(const std::string& command) const;
    // The program's window, as xdotool names it.
    const std::string& window() const { return window_; }
    // The colour the screen shows at (x, y); nothing when it can't be read.
    std::optional<Rgb> pixel(int x, int y) const;

private:
    std::string display_;
    std::string window_;
};

// Runs `f` when the test leaves the scope, however it leaves (to end the
// program a failed assertion left running).
template <typename F>
struct AtExit {
    F f;
    ~AtExit() { f(); }
};
template <typename F>
AtExit(F) -> AtExit<F>;

// The wait status end_driven gave says the program ended by itself, cleanly
// (its log tells otherwise).
void expect_clean_end(int status, const fs::path& root);

// Polls `done` every 50 ms until it holds or `seconds` have passed; whether
// it held.
bool wait_until(const std::function<bool()>& done, double seconds = 30);

}  // namespace corvane::gui_test
