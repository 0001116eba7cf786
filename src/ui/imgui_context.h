#pragma once
// The Dear ImGui context with the program's look: theme, baked fonts with
// premultiplied coverage, nothing saved to disk. The window, the headless
// tests and the frame benchmark all start from it.
namespace corvane {

// Creates and makes current a new context with fonts rastered at `scale`
// pixels per point; the atlas is built but not uploaded, so a renderer
// backend may take it next.
void create_imgui_context(float scale = 1.0f);

// Between frames: bakes the glyphs the frames so far noted, or the fonts for
// a new scale, and premultiplies the new texture. True when the atlas was
// built again, so a renderer must upload it again.
bool refresh_font_atlas(float scale);

}  // namespace corvane
