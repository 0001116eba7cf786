#pragma once
// The window shell's side of a frame: the Shell interface (main/shell_api.h)
// and the driver the shell calls every frame.
#include "main/shell_api.h"

namespace corvane {

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
