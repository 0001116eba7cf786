#pragma once
// A Dear ImGui context without window or GPU, with the program's fonts and
// theme.
//
// Every test of the process starts as if it ran alone: before each test a
// gtest listener puts in a new context (the baked atlas is kept, baking takes
// long), empties ui_memory() and brings the tooltip clock to rest, then runs a
// few idle frames so the full-screen root window already exists and can be
// hovered on the test's first frame. Windows a test opens itself (children,
// popups) still start out unknown: see settle_frames.
#include <imgui.h>

#include <functional>

namespace corvane::test {

// Makes sure the per-test context exists (it normally does by the time a test
// body runs).
void ensure_headless_imgui();

// Puts in the fresh state described above; the listener calls it before each
// test, a test may call it to start over.
void reset_headless_imgui();

// Runs one frame: bakes the glyphs earlier frames noted (as the window does
// between frames), sets the pointer, builds the UI with `build` (inside a
// full-screen window unless `in_window` is false), renders. Returns the draw data.
ImDrawData* run_frame(ImVec2 mouse, bool mouse_down, const std::function<void()>& build, bool in_window = true);

// Runs `frames` frames of `build` with no pointer on the screen. Dear ImGui
// decides hover from the previous frame's windows, so a window that a test
// opens inside `build` (a child, say) can only be hovered from the frame
// after it first appeared; this gets it there without touching anything.
void settle_frames(const std::function<void()>& build, int frames = 2, bool in_window = true);

// True when every index of every command of `data` addresses a vertex of its list.
bool indices_in_range(const ImDrawData* data);

}  // namespace corvane::test
