#pragma once
// Keyboard glue between the window system and a frame.
//
// Shortcuts count the window system's own key events: a press, or an
// auto-repeat it sends while the key is held. ImGui's repeat timer runs
// whenever a frame runs, and with frames 250 ms apart a key held a little
// longer than its 0.275 s delay would count twice.
//
// ImGui 1.86 sees a key through io.KeysDown only, so a key pressed and
// released within one event poll would never show as pressed: such a release
// is held back and delivered before the next poll. So is the release of a
// modifier that follows a key press in the same poll, so the frame still sees
// Ctrl held with the W it came with.
//
// Key codes are the window system's (GLFW's); views never see them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    struct Event {
        int key = 0;
        bool down = false;
        friend bool operator==(const Event&, const Event&) = default;
    };

    // One key event from the window system. `meaning` is shortcut_key of the
    // key; `modifier` says whether it is Shift, Ctrl, Alt or Super. Returns
    // true when it should reach ImGui now; false when it is a release held
    // for the next frame.
    bool on_key(int key, KeyAction action, char meaning, bool modifier);
    // The shortcut keys pressed or repeated since the last end_frame(), each
    // once.
    const std::string& pressed() const { return pressed_keys_; }
    // Call once a frame has been built: the held releases, to deliver before
    // the next poll. Starts a new frame's bookkeeping.
    std::vector<Event> end_frame();

private:
    std::vector<int> down_this_frame_;
    bool pressed_this_frame_ = false;  // any key, repeats too
    std::vector<Event> held_;
    std::string pressed_keys_;
};

}  // namespace corvane
