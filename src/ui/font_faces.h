#pragma once
// The faces the atlas rasters glyphs from: the five embedded faces and the
// system faces found for characters those lack. Their metrics are read with
// stb_truetype, the rasteriser the atlas itself uses, so what these say a face
// holds and how wide a glyph is matches what gets baked.
#include <span>
#include <string>

namespace corvane {

using FaceId = int;
inline constexpr FaceId kNoFace = -1;

// The embedded face registered as `name` ("plex", "plex_mono", ...).
FaceId embedded_face(const std::string& name);

// The installed face that the system's font configuration prefers for `cp`
// among its sans-serif (or monospace) faces; kNoFace when none holds it.
FaceId system_face_for(char32_t cp, bool monospace);

std::span<const unsigned char> face_data(FaceId face);
int face_index(FaceId face);  // the face within a collection file
const std::string& face_name(FaceId face);

bool face_has_glyph(FaceId face, char32_t cp);

// The pixel size that gives `face` the em of `main` at `main_px` (pixel sizes
// are ascent minus descent, which differ between faces per em).
float matching_pixel_size(FaceId face, FaceId main, float main_px);
// Ascent and descent of the face at `px` as the atlas computes them.
float baked_ascent(FaceId face, float px);
float baked_descent(FaceId face, float px);
// The glyph's advance at `px`, rounded to whole pixels as the atlas does.
float snapped_advance(FaceId face, float px, char32_t cp);
// The texels the atlas packs the glyph into at `px`: its bitmap's box plus
// `padding` across and down, as the atlas sizes it.
int glyph_texels(FaceId face, float px, char32_t cp, int padding);

}  // namespace corvane
