#pragma once
// The window shell's side of a frame: the Shell interface (main/shell_api.h)
// and the driver the shell calls every frame.
#include "main/shell_api.h"
#include "ui/key_input.h"

namespace corvane {

// One application frame. The shell calls frame() between ImGui's NewFrame and
// Render, with the frame's share of the key events the window system sent,
// and on_close() once when the window is closed or the process is asked to
// end (SIGTERM, SIGINT), before the window goes away.
class FrameDriver {
public:
    virtual ~FrameDriver() = default;
    virtual void frame(Shell& shell, const KeyboardFrame& keys) = 0;
    virtual void on_close() {}
};

}  // namespace corvane
