#pragma once
// Keyboard glue. ImGui 1.86 sees a key through io.KeysDown only, so a key
// pressed and released within one event poll would never show as pressed:
// such a release is held back and delivered before the next poll.
// Key codes are the window system's (GLFW's); views never see them, they ask
// for the shortcuts below.
#include <cstdint>
#include <vector>

struct ImGuiIO;

namespace corvane {

class KeyReleaseHold {
public:
    struct Event {
        int key = 0;
        bool down = false;
        friend bool operator==(const Event&, const Event&) = default;
    };

    // One key event from the window system. Returns true when it should reach
    // ImGui now; false when it is a release held for the next frame.
    bool on_key(int key, bool down);
    // Call once a frame has been built: the held releases, to deliver before
    // the next poll. Starts a new frame's bookkeeping.
    std::vector<Event> end_frame();

private:
    std::vector<int> pressed_this_frame_;
    std::vector<Event> held_;
};

enum class Shortcut : std::uint8_t { NewTab, CloseTab, ToggleSound, LayoutInstrument, LayoutSignal };

// The window system's key codes for the shortcut keys (T, W, M, 1, 2).
struct ShortcutKeys {
    int t = 0, w = 0, m = 0, one = 0, two = 0;
};

// Whether Ctrl is held and the shortcut's key was pressed this frame
// (auto-repeats count).
bool shortcut_pressed(Shortcut s, const ShortcutKeys& keys);

}  // namespace corvane
