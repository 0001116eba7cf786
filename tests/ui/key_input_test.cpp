#include "ui/key_input.h"

#include <gtest/gtest.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <string>
#include <utility>
#include <vector>

#include "headless_imgui.h"
#include <imgui_stdlib.h>
#include "ui/app_frame.h"

namespace corvane {
namespace {

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

// A text field in headless frames, fed the window system's key events as
// the shell feeds them: each frame gets the share KeyboardFrame hands over,
// and while events wait the next frame follows at once. `ms` is the window
// system's clock; frames without input come 250 ms apart, as when idle.
class FieldUnderKeys {
public:
    explicit FieldUnderKeys(std::string initial) : text(std::move(initial)) {
        test::reset_headless_imgui();
        KeyboardFrame::configure(ImGui::GetIO());
        // A click past the text's end focuses the field there.
        frame({kField.x + 280, kField.y + 8}, true);
        frame({kField.x + 280, kField.y + 8}, false);
        frame({-1, -1}, false);
    }
    ~FieldUnderKeys() { test::reset_headless_imgui(); }

    void key(int key, KeyAction action, int mods = 0, char meaning = 0) {
        keys_.on_key(key, action, mods, meaning);
        run_waiting();
    }
    // The window system's events of a press and release of `key` with the
    // modifier keys `mods` held around it.
    void tap(int key, char meaning, int mods = 0) {
        const std::pair<int, int> modifiers[] = {{GLFW_MOD_CONTROL, GLFW_KEY_LEFT_CONTROL},
                                                 {GLFW_MOD_SHIFT, GLFW_KEY_LEFT_SHIFT}};
        int held = 0;
        for (const auto& [bit, code] : modifiers)
            if (mods & bit) keys_.on_key(code, KeyAction::Press, std::exchange(held, held | bit), 0);
        keys_.on_key(key, KeyAction::Press, mods, meaning);
        keys_.on_key(key, KeyAction::Release, mods, 0);
        for (const auto& [bit, code] : modifiers)
            if (mods & bit) keys_.on_key(code, KeyAction::Release, held, 0);
        run_waiting();
    }
    // Typed on a US layout: each letter's press, character and release.
    void type(std::string_view s) {
        for (char c : s) {
            const int place = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
            keys_.on_key(place, KeyAction::Press, 0, shortcut_key(place, std::string(1, c)));
            keys_.on_char(static_cast<unsigned char>(c));
            keys_.on_key(place, KeyAction::Release, 0, 0);
        }
        run_waiting();
    }
    // Events queued without a frame between them: one poll of the window system.
    KeyboardFrame& poll() { return keys_; }
    // The frames that follow input: one at once, more while events wait.
    void run_waiting() {
        while (frame({-1, -1}, false, 0.001f)) {
        }
    }
    // Frames every 250 ms until the window system's clock reaches `until_ms`.
    void idle_until(int until_ms) {
        for (; ms_ + 250 <= until_ms; ms_ += 250) frame({-1, -1}, false, 0.25f);
        ms_ = until_ms;
    }

    std::string text;
    int closes = 0;
    std::string chords;  // the shortcut keys pressed with Ctrl, frame by frame

private:
    inline static const ImVec2 kField{100, 100};
    bool frame(ImVec2 mouse, bool down, float dt = 1.0f / 60) {
        ImGuiIO& io = ImGui::GetIO();
        const bool more = keys_.deliver(io);
        io.DeltaTime = dt;
        test::run_frame(mouse, down, [&] {
            ImGui::SetCursorScreenPos(kField);
            ImGui::SetNextItemWidth(300);
            ImGui::InputText("##field", &text);
            closes += read_frame_input(keys_.pressed()).close_tab ? 1 : 0;
            chords += keys_.pressed();
        });
        return more;
    }
    KeyboardFrame keys_;
    int ms_ = 0;
};

constexpr int kCtrl = GLFW_MOD_CONTROL, kShift = GLFW_MOD_SHIFT;

// Events that reach the program within one poll of the window system still
// act one by one, in order: no press is merged with another of its key, none
// is lost behind a key ImGui handles in the same frame, no character jumps
// ahead of a key, no modifier reaches back to a key pressed before it.
TEST(KeyboardFrame, EveryEventInOnePollActsOnceInOrder) {
    using P = KeyAction;
    {
        FieldUnderKeys f("");
        KeyboardFrame& k = f.poll();
        for (const auto& [place, c] : {std::pair{GLFW_KEY_A, 'a'}, {GLFW_KEY_B, 'b'}}) {
            k.on_key(place, P::Press, 0, c);
            k.on_char(static_cast<unsigned char>(c));
            k.on_key(place, P::Release, 0, 0);
        }
        k.on_key(GLFW_KEY_BACKSPACE, P::Press, 0, 0);
        k.on_key(GLFW_KEY_BACKSPACE, P::Release, 0, 0);
        k.on_key(GLFW_KEY_C, P::Press, 0, 'c');
        k.on_char('c');
        k.on_key(GLFW_KEY_C, P::Release, 0, 0);
        f.run_waiting();
        EXPECT_EQ(f.text, "ac") << "a, b, Backspace, c";
    }
    {
        FieldUnderKeys f("0123456789xy");
        for (int i = 0; i < 10; ++i) {
            f.poll().on_key(GLFW_KEY_BACKSPACE, P::Press, 0, 0);
            f.poll().on_key(GLFW_KEY_BACKSPACE, P::Release, 0, 0);
        }
        f.run_waiting();
        EXPECT_EQ(f.text, "01") << "ten Backspaces";
    }
    {
        FieldUnderKeys f("0123");
        KeyboardFrame& k = f.poll();
        k.on_key(GLFW_KEY_LEFT, P::Press, 0, 0);
        k.on_key(GLFW_KEY_LEFT, P::Release, 0, 0);
        k.on_key(GLFW_KEY_BACKSPACE, P::Press, 0, 0);
        k.on_key(GLFW_KEY_BACKSPACE, P::Release, 0, 0);
        f.run_waiting();
        EXPECT_EQ(f.text, "013") << "Left and Backspace";
    }
    {
        // Typed, then Ctrl+A and a letter typed over the selection.
        FieldUnderKeys f("");
        KeyboardFrame& k = f.poll();
        k.on_char('q');
        k.on_key(GLFW_KEY_LEFT_CONTROL, P::Press, 0, 0);
        k.on_key(GLFW_KEY_A, P::Press, kCtrl, 'a');
        k.on_key(GLFW_KEY_A, P::Release, kCtrl, 0);
        k.on_key(GLFW_KEY_LEFT_CONTROL, P::Release, kCtrl, 0);
        k.on_char('x');
        f.run_waiting();
        EXPECT_EQ(f.text, "x") << "q, Ctrl+A, x";
    }
    {
        // Ctrl+A, then a name typed, in one poll: the Ctrl that came before
        // the letters makes none of them a chord (Ctrl+M would turn the
        // sound on) and loses none.
        FieldUnderKeys f("old");
        KeyboardFrame& k = f.poll();
        k.on_key(GLFW_KEY_LEFT_CONTROL, P::Press, 0, 0);
        k.on_key(GLFW_KEY_A, P::Press, kCtrl, 'a');
        k.on_key(GLFW_KEY_A, P::Release, kCtrl, 0);
        k.on_key(GLFW_KEY_LEFT_CONTROL, P::Release, kCtrl, 0);
        f.type("dest.sim.test");
        EXPECT_EQ(f.text, "dest.sim.test") << "Ctrl+A, dest.sim.test";
        EXPECT_EQ(f.chords, "a") << "Ctrl+A, dest.sim.test";
    }
}

// The window system's clock in ms and its events: a key held acts for its
// press and for each repeat the window system sends, never on a timer of its
// own, however many frames pass while it is held.
TEST(KeyboardFrame, HeldKeysActForThePressAndEachSystemRepeat) {
    struct Case {
        const char* name;
        int key;
        int release_ms;
        int repeat_every_ms;  // 0: the system's repeat is off
        const char* want;
    } cases[] = {
        {"Backspace held 0.3 s", GLFW_KEY_BACKSPACE, 300, 0, "01234567"},
        {"Backspace held 0.6 s", GLFW_KEY_BACKSPACE, 600, 0, "01234567"},
        {"Backspace held 2 s, the system's repeat off", GLFW_KEY_BACKSPACE, 2000, 0, "01234567"},
        // Repeats from 660 ms after the press: 660, 860, ... 1460.
        {"Backspace held 1.5 s with repeats", GLFW_KEY_BACKSPACE, 1500, 200, "012"},
        {"Left held 0.6 s", GLFW_KEY_LEFT, 600, 0, "01234567|8"},
        {"Left held 1 s with repeats", GLFW_KEY_LEFT, 1000, 100, "0123|45678"},
    };
    for (const Case& c : cases) {
        FieldUnderKeys f("012345678");
        f.key(c.key, KeyAction::Press);
        for (int t = 660; c.repeat_every_ms > 0 && t < c.release_ms; t += c.repeat_every_ms) {
            f.idle_until(t);
            f.key(c.key, KeyAction::Repeat);
        }
        f.idle_until(c.release_ms);
        f.key(c.key, KeyAction::Release);
        if (c.key == GLFW_KEY_LEFT) f.type("|");
        EXPECT_EQ(f.text, c.want) << c.name;
    }
}

// The program's shortcuts and the fields' editing shortcuts go by the
// letter the key types under the layout (shortcut_key), else by its place,
// and by the modifiers that came with each key event.
TEST(KeyboardFrame, ShortcutsGoByTheLayoutsLetterAndTheEventsModifiers) {
    struct Stroke {
        int place;
        char meaning;  // 0: type the text instead
        int mods = 0;
        const char* text = "";
    };
    struct Case {
        const char* name;
        std::vector<Stroke> strokes;  // after "ab" was typed
        const char* want;
        int closes = 0;
    } cases[] = {
        {"us: Ctrl+A selects all", {{GLFW_KEY_A, 'a', kCtrl}, {0, 0, 0, "c"}}, "c"},
        {"fr: Ctrl with the key typing a selects all", {{GLFW_KEY_Q, 'a', kCtrl}, {0, 0, 0, "c"}}, "c"},
        {"fr: Ctrl with the key typing q does nothing", {{GLFW_KEY_A, 'q', kCtrl}, {0, 0, 0, "c"}}, "abc"},
        {"de: Ctrl+Z undoes", {{GLFW_KEY_Y, 'z', kCtrl}, {0, 0, 0, "c"}}, "ac"},
        {"de: Ctrl+Y redoes", {{GLFW_KEY_Y, 'z', kCtrl}, {GLFW_KEY_Z, 'y', kCtrl}, {0, 0, 0, "c"}}, "abc"},
        {"Ctrl+Shift+Z redoes",
         {{GLFW_KEY_Z, 'z', kCtrl}, {GLFW_KEY_Z, 'z', kCtrl | kShift}, {0, 0, 0, "c"}},
         "abc"},
        {"dvorak: Ctrl+C and Ctrl+V copy and paste",
         {{GLFW_KEY_A, 'a', kCtrl}, {GLFW_KEY_I, 'c', kCtrl}, {GLFW_KEY_END, 0, 0, ""},
          {GLFW_KEY_PERIOD, 'v', kCtrl}},
         "abab"},
        {"dvorak: Ctrl+X cuts", {{GLFW_KEY_A, 'a', kCtrl}, {GLFW_KEY_B, 'x', kCtrl}, {0, 0, 0, "c"}}, "c"},
        {"fr: Ctrl with the key typing w closes the tab and edits nothing",
         {{GLFW_KEY_Z, 'w', kCtrl}, {0, 0, 0, "c"}},
         "abc",
         1},
    };
    for (const Case& c : cases) {
        FieldUnderKeys f("");
        f.type("ab");
        for (const Stroke& s : c.strokes) {
            if (s.meaning == 0 && s.place == 0)
                f.type(s.text);
            else
                f.tap(s.place, s.meaning, s.mods);
        }
        EXPECT_EQ(f.text, c.want) << c.name;
        EXPECT_EQ(f.closes, c.closes) << c.name;
    }
}

// The window system's key events, timed in ms from the first frame (events
// of the same ms come in one poll), with frames every 250 ms as when the
// window is idle. Each press or repeat of W made with Ctrl closes one tab;
// ImGui's own repeat timer must never add one.
TEST(KeyboardFrame, CtrlWClosesATabPerPressAndRepeat) {
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
        {"a 0.8 s hold, the system's repeat turned off", {{0, Ctrl, P}, {260, W, P}, {1060, W, R}, {1100, Ctrl, R}}, 1},
        {"a hold with system repeats from 920 to 1500 ms",
         [&] {
             std::vector<Timed> e = repeats(920, 1500, {{0, Ctrl, P}, {260, W, P}});
             e.push_back({1510, W, R});
             e.push_back({1600, Ctrl, R});
             return e;
         }(),
         16},
        {"two presses within one idle frame", {{0, Ctrl, P}, {260, W, P}, {300, W, R}, {340, W, P}, {380, W, R}}, 2},
        {"two presses in one poll", {{0, Ctrl, P}, {260, W, P}, {260, W, R}, {260, W, P}, {260, W, R}}, 2},
        {"Ctrl and W let go in the poll of the press", {{0, Ctrl, P}, {260, W, P}, {260, W, R}, {260, Ctrl, R}}, 1},
        {"W without Ctrl", {{260, W, P}, {330, W, R}}, 0},
        {"W, then Ctrl in the same poll", {{260, W, P}, {260, Ctrl, P}, {330, W, R}, {400, Ctrl, R}}, 0},
    };
    for (const Case& c : cases) {
        FieldUnderKeys f("");
        bool ctrl = false;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const Timed& e = c.events[i];
            f.idle_until(e.ms);
            f.poll().on_key(e.key, e.action, ctrl ? kCtrl : 0, e.key == Ctrl ? 0 : 'w');
            if (e.key == Ctrl) ctrl = e.action != R;
            if (i + 1 == c.events.size() || c.events[i + 1].ms != e.ms) f.run_waiting();
        }
        f.idle_until(2000);
        EXPECT_EQ(f.closes, c.closes) << c.name;
    }
}

}  // namespace
}  // namespace corvane
