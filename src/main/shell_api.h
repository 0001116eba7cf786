#pragma once
// What the per-frame update may ask of the window shell. The GLFW shell
// implements it; tests of the update use a fake. Nothing here needs a window
// library, so the application core can be built and tested without one.
#include <cstdint>

namespace corvane {

struct ViewportInfo {
    bool maximized_known = false;
    bool maximized = false;
    bool minimized_known = false;
    bool minimized = false;
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual void maximize() = 0;
    // Flashes the taskbar entry (informational).
    virtual void request_attention() = 0;
    virtual ViewportInfo viewport_info() const = 0;
    // The next frame comes after at most this long, even without input.
    virtual void request_repaint_after(double seconds) = 0;
    // The window the system's pickers are modal to (an X11 window id); 0
    // when there is none.
    virtual std::uint64_t dialog_parent() const { return 0; }
    // Called again and again, about every 20 ms, while a dialog modal to the
    // window blocks the frame (`dialog_pid` is its process): the window keeps
    // showing its last frame, input to it is dropped, and the dialog's own
    // window is kept above it.
    virtual void while_dialog_open(int dialog_pid) { (void)dialog_pid; }
    // The window system has no dark-title request on this platform; kept so
    // the update can send it like on others.
    virtual void set_dark_theme() {}
};

}  // namespace corvane
