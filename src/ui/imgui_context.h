#pragma once
// The Dear ImGui context with the program's look: theme, baked fonts with
// premultiplied coverage, nothing saved to disk. The window, the headless
// tests and the frame benchmark all start from it.
#include "ui/fonts.h"

namespace corvane {

// Creates and makes current a new context with fonts rastered at `scale`
// pixels per point within `limits`; the atlas is built but not uploaded, so a
// renderer backend may take it next.
void create_imgui_context(float scale = 1.0f, AtlasLimits limits = {});

// Between frames: bakes the glyphs the frames so far noted, or the fonts for
// a new scale, and premultiplies the new texture; then starts the next frame.
// True when the atlas was built again, so a renderer must upload it again.
// Without a time, whatever waits is baked at once; with `now`, only when it
// is due (glyph_bake_wait), so new text met over several frames costs one
// bake.
bool refresh_font_atlas(float scale);
bool refresh_font_atlas(float scale, double now);

}  // namespace corvane
