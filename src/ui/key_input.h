#pragma once
// Keyboard glue between the window system and a frame.
//
// ImGui 1.86 has no input queue: it sees keys as held state once per frame.
// Two presses of one key in a frame count once, a press and release in one
// frame never show, characters are applied before any key whatever their
// order, and a text field acts on only one editing key per frame. So the
// window system's events wait here in order, and each frame hands ImGui a
// share in which none of that can happen; the rest waits for the next frame,
// which the shell runs at once.
//
// A key acts once for its press and once for every auto-repeat the window
// system sends while it is held. ImGui's own repeat timer is off: it runs
// whenever a frame runs, and with frames 250 ms apart a key held a little
// longer than its delay would act twice.
//
// The editing shortcuts of text fields (select all, copy, cut, paste, undo,
// redo) go by the same rule as the program's own shortcuts (shortcut_key),
// not by the key's place. ImGui reads them from io.KeyMap slots of their own
// that only a key meaning that letter, pressed with Ctrl, presses.
//
// Key codes and modifier bits are the window system's (GLFW's); views never
// see them.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ImGuiIO;

namespace corvane {

// What a key means to the shortcuts: 'a'..'z' or '0'..'9', or 0 for nothing.
// `physical` names the key's place by the US character GLFW's code stands for
// (GLFW's codes for 'A'..'Z' and '0'..'9' are those characters); `typed` is
// what the active layout types on it without Shift (glfwGetKeyName), empty
// when the window system names none. The rule:
//  1. A key that types a Latin letter or a digit means that character: on a
//     French layout the key in the US W place types "z" and means Z, the one
//     in the US Z place means W.
//  2. Otherwise a key of the digit row means its digit. French, Belgian,
//     Czech and Lithuanian layouts put symbols or accented letters there
//     ("&", "é", "+", "ě", "ą") and the digits on Shift; their users reach
//     Ctrl+1 with that key, as no other key types "1" unshifted.
//  3. Otherwise a key in a letter place that types a letter of another
//     script (Cyrillic, Greek: no key of those layouts types a Latin letter)
//     means the letter of its place, as the keyboard's Latin labels show.
//  4. A key the window system names no character for means its place.
//  5. Anything else means nothing: punctuation in a letter place (French puts
//     "," where US has M and "m" beside L) must not act as that letter, or
//     two keys would answer one shortcut.
char shortcut_key(int physical, std::string_view typed);

enum class KeyAction : std::uint8_t { Release, Press, Repeat };

class KeyboardFrame {
public:
    // ImGui's key map: the editing and navigation keys at their GLFW codes,
    // the editing shortcuts at the slots deliver() presses; and its repeat
    // timer off. Once, after the platform backend has set its own key map.
    static void configure(ImGuiIO& io);

    // One key event from the window system, in the order it came. `mods`:
    // the modifiers held with it (GLFW_MOD_* bits); `meaning`: shortcut_key of
    // the key, read at a press or repeat (a release needs none).
    void on_key(int key, KeyAction action, int mods, char meaning);
    // One typed character (a Unicode code point).
    void on_char(unsigned int codepoint);

    // Before a frame: hands ImGui (`io`) this frame's share of the waiting
    // events. A share ends before an event that would change a key it
    // already changed, before a second press or repeat of a key that is not
    // a modifier, before a character that follows such a press, and before a
    // modifier change that follows such a press or a character (they were
    // made with the modifiers as they were). True when events are left for
    // the next frame.
    bool deliver(ImGuiIO& io);
    // The shortcut keys pressed or repeated with Ctrl held, in the share the
    // last deliver() handed over (one at most).
    const std::string& pressed() const { return pressed_keys_; }

private:
    struct Event {
        int key = -1;  // -1 for a character
        KeyAction action = KeyAction::Press;
        int mods = 0;
        char meaning = 0;
        unsigned int codepoint = 0;
    };
    void apply(ImGuiIO& io, const Event& e);

    std::deque<Event> waiting_;
    std::string pressed_keys_;
    std::vector<std::pair<int, int>> held_slots_;  // key, the shortcut slot it holds down
};

}  // namespace corvane
