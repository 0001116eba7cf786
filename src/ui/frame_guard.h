#pragma once
// A frame that fails ends the program the way closing the window does, so no
// session is left running and no history row unwritten.
#include "ui/shell.h"

namespace corvane {

// Runs driver.frame(). When an exception escapes it, writes "Error: " and its
// message to stderr and returns false; the shell then ends as when the window
// is closed (on_close), with exit code 1. Dear ImGui's frame stays as the
// exception left it: nothing is drawn from it, and ending the context needs
// no finished frame.
bool run_guarded_frame(FrameDriver& driver, Shell& shell, const KeyboardFrame& keys);

}  // namespace corvane
