// A system picker over the real window: zenity's file selection, opened by
// the toolbar's playback button, is kept above the window, the window keeps
// drawing while it is open, and clicks on the window meanwhile are dropped.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app_window_support.h"
#include "support/test_support.h"

namespace corvane::gui_test {
namespace {

constexpr const char* kPickerTitle = "Play back a Corvane history file";

class PickerWindow : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        if (IsSkipped()) return;
        if (!on_path("zenity")) GTEST_SKIP() << "zenity is missing: there is no system picker to show";
        for (const char* tool : {"xdotool", "xprop", "xhost"})
            if (!on_path(tool)) GTEST_SKIP() << tool << " is missing: no way to reach the picker's window";
    }
};

// "Geometry: 1096x822" and "Position: 0,0 (screen: 0)" of xdotool's
// getwindowgeometry, as two pairs.
std::vector<int> geometry_numbers(const std::string& text) {
    std::vector<int> out;
    int a = 0, b = 0;
    if (const auto at = text.find("Position: "); at != std::string::npos &&
                                                 std::sscanf(text.c_str() + at, "Position: %d,%d", &a, &b) == 2) {
        out.push_back(a);
        out.push_back(b);
    }
    if (const auto at = text.find("Geometry: "); at != std::string::npos &&
                                                 std::sscanf(text.c_str() + at, "Geometry: %dx%d", &a, &b) == 2) {
        out.push_back(a);
        out.push_back(b);
    }
    return out;
}

TEST_F(PickerWindow, StaysAboveTheWindowWhichDrawsAndDropsClicksMeanwhile) {
    const fs::path root = prepare("picker", "");
    // The screen is read from here while the picker is open: the window then
    // draws no new frames to picture, only its last one again.
    RunningApp app = start(root, "", "xhost +si:localuser:$(id -un) >/dev/null");
    ASSERT_TRUE(app.settings_have("view=instrument"));
    ASSERT_TRUE(app.settings_have("sound=false"));

    std::string picker;
    const auto find_picker = [&] {
        const std::string found =
            app.on_display(std::string("xdotool search --onlyvisible --name '^") + kPickerTitle + "$'");
        picker = found.substr(0, found.find('\n'));
        return !picker.empty();
    };
    ASSERT_TRUE(picker_opens(app, find_picker)) << "the picker never showed: " << app.log();

    // A window manager keeps a window above the one it is transient for.
    char parent_hex[32];
    std::snprintf(parent_hex, sizeof parent_hex, "0x%lx", std::stoul(app.window()));
    const std::string want_hint = std::string("window id # ") + parent_hex;
    std::string hint;
    EXPECT_TRUE(eventually([&] {
        hint = app.on_display("xprop -id " + picker + " WM_TRANSIENT_FOR");
        return hint.find(want_hint) != std::string::npos;
    })) << hint << " (want " << want_hint << ")";

    // Over the window's top margin (toolbar 10,10,10), the picker shows;
    // once it is hidden the window must draw that part again.
    const std::vector<int> w = geometry_numbers(app.on_display("xdotool getwindowgeometry \"$W\""));
    ASSERT_EQ(w.size(), 4u);
    app.xdotool("windowmove " + picker + " " + std::to_string(w[0]) + " " + std::to_string(w[1]));
    const std::vector<int> p = geometry_numbers(app.on_display("xdotool getwindowgeometry " + picker));
    ASSERT_EQ(p.size(), 4u);
    const int probe_x = w[0] + std::min(p[2], w[2]) / 2, probe_y = w[1] + 3;
    const Rgb toolbar{10, 10, 10};
    const auto probed = [&] { return app.screen_pixel(probe_x, probe_y); };
    ASSERT_TRUE(eventually([&] {
        const std::optional<Rgb> shown = probed();
        return shown && *shown != toolbar;
    })) << "the picker never covered it";
    app.xdotool("windowunmap " + picker);
    EXPECT_TRUE(eventually([&] { return probed() == toolbar; }))
        << "left showing " << probed().value_or(Rgb{-1, -1, -1});
    app.xdotool("windowmap --sync " + picker);

    // A click on "Signal" while the picker is open, then the picker closed.
    const std::string picker_pid = split(app.on_display("xdotool getwindowpid " + picker), '\n').front();
    ASSERT_FALSE(picker_pid.empty());
    app.xdotool(click_at(1215, kToolbarY));
    ASSERT_TRUE(eventually([&] {
        app.xdotool("windowfocus --sync " + picker + " key Escape");
        return !find_picker();
    })) << "the picker did not close";
    ASSERT_TRUE(eventually([&] { return !fs::exists("/proc/" + picker_pid); }));
    // Keys that reach the window in the moment the picker ends are dropped
    // too: Ctrl+M goes again until it is acted on. A frame later a click
    // kept back would have been acted on too.
    ASSERT_TRUE(app.act_until([&] { app.xdotool("key ctrl+m"); }, [&] { return app.settings_have("sound=true"); }))
        << app.log();
    ASSERT_TRUE(app.picture().loaded()) << app.log();
    EXPECT_TRUE(app.settings_have("view=instrument")) << "a click made while the picker was open was acted on";
    app.end_cleanly();
}

}  // namespace
}  // namespace corvane::gui_test
