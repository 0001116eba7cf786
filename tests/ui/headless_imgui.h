#pragma once
// A Dear ImGui context without window or GPU, with the program's fonts and
// theme, shared by the tests of one process.
#include <imgui.h>

#include <functional>

namespace corvane::test {

// Creates the context and atlas on first use.
void ensure_headless_imgui();

// Runs one frame: sets the pointer, builds the UI with `build` (inside a
// full-screen window unless `in_window` is false), renders. Returns the draw data.
ImDrawData* run_frame(ImVec2 mouse, bool mouse_down, const std::function<void()>& build, bool in_window = true);

// True when every index of every command of `data` addresses a vertex of its list.
bool indices_in_range(const ImDrawData* data);

}  // namespace corvane::test
