#pragma once
// The window shell: one GLFW window with an OpenGL 3.3 core context, Dear
// ImGui's GLFW and OpenGL3 backends, and the premultiplied colour pipeline.
#include "ui/shell.h"

namespace corvane {

// Sizes in points: on a desktop scaled to 2 the window opens at 2800 x 1760
// pixels.
struct ShellOptions {
    const char* title = "Corvane";
    int width = 1400, height = 880;
    int min_width = 1240, min_height = 720;
};

// Runs the window until it is closed, SIGTERM/SIGINT arrives or an exception
// escapes a frame, calling driver.frame() every frame and driver.on_close()
// once at the end. Returns the process exit code (1 after such an
// exception); start-up failures and exceptions are printed as "Error: ...".
int run_shell(const ShellOptions& options, FrameDriver& driver);

}  // namespace corvane
