#pragma once
// The premultiplied colour pipeline. Every colour handed to ImGui is already
// premultiplied (color_with_alpha), so the renderer must blend with
// ONE, ONE_MINUS_SRC_ALPHA and the data ImGui builds itself must match:
// glyph texels become premultiplied coverage, and the anti-alias fringe
// vertices ImGui makes by zeroing only the alpha become fully transparent.
#include <cstddef>
#include <cstdint>

struct ImDrawData;
struct ImFontAtlas;

namespace corvane {

// Glyph coverage as the look's text renderer stored it: a' = round(255 *
// (a/255)^0.55), written to all four channels of each RGBA texel.
std::uint8_t text_coverage(std::uint8_t alpha);
void premultiply_texels(std::uint8_t* rgba, std::size_t texel_count);

// Builds the atlas texture (RGBA32) and premultiplies it in place; call after
// install_fonts and before the renderer uploads it.
void premultiply_font_atlas(ImFontAtlas& atlas);

// Every vertex with alpha 0 becomes 0,0,0,0 (ImGui leaves the colour in its
// fringes, which would glow under premultiplied blending).
void clear_transparent_vertices(ImDrawData* data);

}  // namespace corvane
