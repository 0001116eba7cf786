#pragma once
// What the per-frame update may ask of the window shell. The GLFW shell
// implements it; tests of the update use a fake.
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
    // The window system has no dark-title request on this platform; kept so
    // the update can send it like on others.
    virtual void set_dark_theme() {}
};

// One application frame. The shell calls frame() between ImGui's NewFrame and
// Render, and on_close() once when the window is closed or the process is
// asked to end (SIGTERM, SIGINT), before the window goes away.
class FrameDriver {
public:
    virtual ~FrameDriver() = default;
    virtual void frame(Shell& shell) = 0;
    virtual void on_close() {}
};

}  // namespace corvane
