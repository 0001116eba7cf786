#include "ui/key_input.h"

#include <gtest/gtest.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <string>
#include <vector>

#include "headless_imgui.h"
#include "ui/app_frame.h"

namespace corvane {
namespace {

using Ev = KeyboardFrame::Event;

TEST(ShortcutKey, FollowsTheLayoutAndFallsBackToThePlace) {
    struct Case {
        const char* layout;
        int place;
        const char* typed;
        char want;
    } cases[] = {
        {"us", GLFW_KEY_W, "w", 'w'},
        {"us", GLFW_KEY_1, "1", '1'},
        {"us", GLFW_KEY_SEMICOLON, ";", 0},
        {"fr: Z in the US W place", GLFW_KEY_W, "z", 'z'},
        {"fr: W in the US Z place", GLFW_KEY_Z, "w", 'w'},
        {"fr: M beside L", GLFW_KEY_SEMICOLON, "m", 'm'},
        {"fr: comma in the US M place", GLFW_KEY_M, ",", 0},
        {"fr: & on the digit row", GLFW_KEY_1, "&", '1'},
        {"fr: \xC3\xA9 on the digit row", GLFW_KEY_2, "\xC3\xA9", '2'},
        {"cz: + on the digit row", GLFW_KEY_1, "+", '1'},
        {"ru: Cyrillic ie in the T place", GLFW_KEY_T, "\xD0\xB5", 't'},
        {"de: Y in the US Z place", GLFW_KEY_Z, "y", 'y'},
        {"no name from the window system", GLFW_KEY_T, "", 't'},
        {"numpad types a digit", GLFW_KEY_KP_1, "1", '1'},
        {"not a character key", GLFW_KEY_F1, "", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(shortcut_key(c.place, c.typed), c.want) << c.layout;
}

TEST(KeyboardFrame, ReleaseInThePressFrameWaitsOneFrame) {
    struct Step {
        int key;
        KeyAction action;
        bool delivered;
    };
    constexpr int T = GLFW_KEY_T, One = GLFW_KEY_1, Ctrl = GLFW_KEY_LEFT_CONTROL;
    constexpr KeyAction P = KeyAction::Press, R = KeyAction::Release, Rep = KeyAction::Repeat;
    struct Case {
        const char* name;
        std::vector<Step> frame;
        std::vector<Ev> held;
    } cases[] = {
        {"tap within one poll", {{T, P, true}, {T, R, false}}, {{T, false}}},
        {"press only", {{T, P, true}}, {}},
        {"release of an older press", {{T, R, true}}, {}},
        {"two taps hold one release", {{T, P, true}, {T, R, false}, {T, P, true}, {T, R, false}}, {{T, false}}},
        {"press after held release cancels it", {{T, P, true}, {T, R, false}, {T, P, true}}, {}},
        {"independent keys", {{T, P, true}, {One, P, true}, {One, R, false}}, {{One, false}}},
        {"Ctrl let go after the key it came with", {{T, P, true}, {T, R, false}, {Ctrl, R, false}},
         {{T, false}, {Ctrl, false}}},
        {"Ctrl let go after a repeat", {{T, Rep, true}, {Ctrl, R, false}}, {{Ctrl, false}}},
        {"Ctrl let go with no key pressed", {{Ctrl, R, true}}, {}},
    };
    for (const Case& c : cases) {
        KeyboardFrame keys;
        for (const Step& s : c.frame) {
            const bool modifier = s.key == Ctrl;
            EXPECT_EQ(keys.on_key(s.key, s.action, modifier ? 0 : 't', modifier), s.delivered) << c.name;
        }
        EXPECT_EQ(keys.end_frame(), c.held) << c.name;
        // The next frame starts clean: a release now goes straight through.
        EXPECT_TRUE(keys.end_frame().empty()) << c.name;
        EXPECT_TRUE(keys.on_key(T, R, 0, false)) << c.name;
        EXPECT_TRUE(keys.pressed().empty()) << c.name;
    }
}

// The window system's key events, timed in ms from the first frame, go
// through the keyboard glue into ImGui's input as the shell delivers them;
// frames run every 250 ms, as when the window is idle. Each frame with Ctrl
// held and a press or repeat of W closes one tab; ImGui's own repeat timer
// must never add one.
TEST(KeyboardFrame, ShortcutsFireOncePerFrameWithAPressOrRepeat) {
    struct Timed {
        int ms;
        int key;
        KeyAction action;
    };
    constexpr int W = GLFW_KEY_W, Ctrl = GLFW_KEY_LEFT_CONTROL;
    constexpr KeyAction P = KeyAction::Press, R = KeyAction::Release, Rep = KeyAction::Repeat;
    const auto repeats = [](int from, int to, std::vector<Timed> events) {
        for (int t = from; t < to; t += 40) events.push_back({t, W, Rep});
        return events;
    };
    struct Case {
        const char* name;
        std::vector<Timed> events;  // in time order
        int closes;
    } cases[] = {
        {"a press", {{0, Ctrl, P}, {260, W, P}, {330, W, R}, {400, Ctrl, R}}, 1},
        {"a 0.3 s hold with no repeat", {{0, Ctrl, P}, {260, W, P}, {560, W, R}, {600, Ctrl, R}}, 1},
        {"a 0.8 s hold, the system's repeat turned off", {{0, Ctrl, P}, {260, W, P}, {1060, W, R}, {1100, Ctrl, R}}, 1},
        // Repeats from 660 ms after the press, every 40 ms, until 1500 ms:
        // frames at 1000, 1250 and 1500 see some, besides the press's frame.
        {"a hold with system repeats",
         [&] {
             std::vector<Timed> e = repeats(920, 1500, {{0, Ctrl, P}, {260, W, P}});
             e.push_back({1510, W, R});
             e.push_back({1600, Ctrl, R});
             return e;
         }(),
         4},
        {"two presses in one frame", {{0, Ctrl, P}, {260, W, P}, {300, W, R}, {340, W, P}, {380, W, R}}, 1},
        {"Ctrl and W let go in the poll of the press",
         {{0, Ctrl, P}, {260, W, P}, {262, W, R}, {264, Ctrl, R}},
         1},
        {"W without Ctrl", {{260, W, P}, {330, W, R}}, 0},
    };
    for (const Case& c : cases) {
        test::reset_headless_imgui();
        ImGuiIO& io = ImGui::GetIO();
        KeyboardFrame keys;
        // What the GLFW backend does with a key event it is handed.
        const auto deliver = [&](int key, bool down) {
            io.KeysDown[key] = down;
            io.KeyCtrl = io.KeysDown[GLFW_KEY_LEFT_CONTROL] || io.KeysDown[GLFW_KEY_RIGHT_CONTROL];
        };
        std::size_t next = 0;
        int closes = 0;
        for (int frame_ms = 250; frame_ms <= 2000; frame_ms += 250) {
            for (const Ev& e : keys.end_frame()) deliver(e.key, e.down);
            for (; next < c.events.size() && c.events[next].ms <= frame_ms; ++next) {
                const Timed& e = c.events[next];
                const bool ctrl = e.key == Ctrl;
                if (keys.on_key(e.key, e.action, ctrl ? 0 : 'w', ctrl)) deliver(e.key, e.action != KeyAction::Release);
            }
            io.DeltaTime = 0.25f;
            test::run_frame({-1, -1}, false, [&] { closes += read_frame_input(keys.pressed()).close_tab ? 1 : 0; });
        }
        EXPECT_EQ(closes, c.closes) << c.name;
    }
    test::reset_headless_imgui();
}

}  // namespace
}  // namespace corvane
