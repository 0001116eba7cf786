// A system picker over the real window: zenity's file selection, opened by
// the toolbar's playback button, is kept above the window, the window keeps
// drawing while it is open, and clicks on the window meanwhile are dropped.
#include <cstdio>
#include <string>
#include <vector>

#include "app_window_support.h"
#include "live_display.h"
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

    std::string setting(const fs::path& root, const std::string& key) const {
        for (const std::string& line : split(test::read_file(root / "roaming" / "Corvane" / "settings.ini"), '\n'))
            if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
        return {};
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
    const pid_t runner = start_driven(root, LiveDisplay::handover(root));
    const AtExit ends{[&] { expect_clean_end(end_driven(root, runner), root); }};
    LiveDisplay x;
    ASSERT_TRUE(x.attach(root)) << test::read_file(root / "log");
    ASSERT_EQ(setting(root, "view"), "instrument");
    ASSERT_EQ(setting(root, "sound"), "false");

    x.run("xdotool mousemove --window \"$W\" 1275 29 click 1");  // the playback button
    std::string picker;
    const auto find_picker = [&] {
        const std::string found = x.run(std::string("xdotool search --onlyvisible --name '^") + kPickerTitle + "$'");
        picker = found.substr(0, found.find('\n'));
        return !picker.empty();
    };
    ASSERT_TRUE(wait_until(find_picker, 60)) << "the picker never showed: " << test::read_file(root / "log");

    // A window manager keeps a window above the one it is transient for.
    char parent_hex[32];
    std::snprintf(parent_hex, sizeof parent_hex, "0x%lx", std::stoul(x.window()));
    const std::string want_hint = std::string("window id # ") + parent_hex;
    std::string hint;
    EXPECT_TRUE(wait_until([&] {
        hint = x.run("xprop -id " + picker + " WM_TRANSIENT_FOR");
        return hint.find(want_hint) != std::string::npos;
    })) << hint << " (want " << want_hint << ")";

    // Over the window's top margin (toolbar 10,10,10), the picker shows;
    // once it is hidden the window must draw that part again.
    const std::vector<int> w = geometry_numbers(x.run("xdotool getwindowgeometry \"$W\""));
    ASSERT_EQ(w.size(), 4u);
    x.run("xdotool windowmove " + picker + " " + std::to_string(w[0]) + " " + std::to_string(w[1]));
    const std::vector<int> p = geometry_numbers(x.run("xdotool getwindowgeometry " + picker));
    ASSERT_EQ(p.size(), 4u);
    const int probe_x = w[0] + std::min(p[2], w[2]) / 2, probe_y = w[1] + 3;
    const Rgb toolbar{10, 10, 10};
    ASSERT_TRUE(wait_until([&] { return x.pixel(probe_x, probe_y) != toolbar; })) << "the picker never covered it";
    x.run("xdotool windowunmap " + picker);
    EXPECT_TRUE(wait_until([&] { return x.pixel(probe_x, probe_y) == toolbar; }))
        << "left showing " << x.pixel(probe_x, probe_y).value_or(Rgb{-1, -1, -1});
    x.run("xdotool windowmap --sync " + picker);

    // A click on "Signal" while the picker is open. Once the picker has
    // closed and Ctrl+M turned the sound on, then off again (a frame later at
    // least), a click kept back would have been acted on too.
    const std::string picker_pid = x.run("xdotool getwindowpid " + picker);
    ASSERT_FALSE(picker_pid.empty());
    x.run("xdotool mousemove --window \"$W\" 1215 29 click 1");
    ASSERT_TRUE(wait_until([&] {
        x.run("xdotool windowfocus --sync " + picker + " key Escape");
        return !find_picker();
    })) << "the picker did not close";
    ASSERT_TRUE(wait_until([&] { return !fs::exists("/proc/" + picker_pid.substr(0, picker_pid.find('\n'))); }));
    // Keys that reach the window in the moment the picker ends are dropped
    // too: Ctrl+M goes again until it is acted on.
    ASSERT_TRUE(wait_until([&] {
        if (setting(root, "sound") != "true") x.run("xdotool key ctrl+m");
        return wait_until([&] { return setting(root, "sound") == "true"; }, 3);
    })) << test::read_file(root / "log");
    x.run("xdotool key ctrl+m");
    ASSERT_TRUE(wait_until([&] { return setting(root, "sound") == "false"; })) << test::read_file(root / "log");
    EXPECT_EQ(setting(root, "view"), "instrument") << "a click made while the picker was open was acted on";
}

}  // namespace
}  // namespace corvane::gui_test
