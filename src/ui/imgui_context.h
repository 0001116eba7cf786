#pragma once
// The Dear ImGui context with the program's look: theme, baked fonts with
// premultiplied coverage, nothing saved to disk. The window, the headless
// tests and the frame benchmark all start from it.
namespace corvane {

// Creates and makes current a new context; the atlas is built but not
// uploaded, so a renderer backend may take it next.
void create_imgui_context();

}  // namespace corvane
