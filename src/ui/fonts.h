#pragma once
// Font families, text styles and the baked atlas fonts. Views name a font as a
// family plus a size in points; the atlas holds one font per face and size the
// views use, rastered at round(1.3 x size x pixels per point) pixels (the
// faces' ascent minus descent is 1.3 em).
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ImFont;
struct ImFontAtlas;

namespace corvane {

enum class FontFamily : std::uint8_t { Proportional, Monospace, Medium, Semibold, MonoMedium };

struct FontId {
    FontFamily family = FontFamily::Proportional;
    float size = 13.5f;
};

enum class TextStyle : std::uint8_t { Small, Body, Monospace, Button, Heading };
FontId text_style_font(TextStyle style);

// A new list: `name`, then `existing` in order.
std::vector<std::string> font_family_with_fallbacks(const std::string& name,
                                                    const std::vector<std::string>& existing);

// The registered font names of each family, first choice first.
std::vector<std::string> font_family_names(FontFamily family);

// Embedded TrueType data by registered name ("plex", "plex_medium",
// "plex_semibold", "plex_mono", "plex_mono_medium"); empty for other names.
std::span<const unsigned char> embedded_font_data(const std::string& name);

// Pixel size of a font of `points` drawn at `scale` pixels per point:
// round(1.3 x points x scale), computed in float.
float font_pixel_size(float points, float scale = 1.0f);
// Vertical shift, in pixels at `scale`, that puts the baked font's ascent
// where a `points` em font's ascent (1.025 em) is: round(round(1.025 x points)
// x scale) minus the baked ascent.
float font_glyph_offset_y(float points, float scale = 1.0f);

// Every (family, size) the views draw with.
std::span<const FontId> font_sizes_in_use();

// The bounds of the atlas texture. No side exceeds the largest texture the
// driver takes (GL_MAX_TEXTURE_SIZE, which the window reads; headless the
// default stands in), and it holds at most `texels_per_square_scale` texels
// per pixel-per-point squared: with the default, 16 MiB as RGBA at scale 1,
// 64 MiB at scale 2. The Latin-1 fonts take about a third of that; the rest
// holds the glyphs of other scripts, several thousand body-size CJK glyphs at
// any scale. When they outgrow it, the least recently drawn are dropped at the
// next bake and come back when drawn again; glyphs drawn since the last bake
// that still find no room show as the box until a later bake has it.
struct AtlasLimits {
    int max_texture_side = 8192;
    std::int64_t texels_per_square_scale = std::int64_t{4} << 20;
};

// Adds one font per entry of font_sizes_in_use() to `atlas` (Latin-1 plus
// U+2026, oversampling 1, pixel-snapped) with an outlined box as the glyph of
// characters it lacks, builds it and makes those fonts the ones font() returns. The fonts are
// rastered at `scale` pixels per point but measure in points, exactly as at
// scale 1, so only the texture changes with the scale (and with a driver
// whose largest texture can't hold them at that scale, they are rastered
// smaller). The atlas must outlive every later font() call.
void install_fonts(ImFontAtlas& atlas, float scale = 1.0f, AtlasLimits limits = {});
// Bounds for the next builds.
void set_atlas_limits(AtlasLimits limits);

// Records the characters of `text` that `font` (one of ours) has no glyph for
// yet, so that a later rebuild_fonts bakes them, and that the glyphs it has
// were drawn now; the one-argument form takes ImGui's current font, for texts
// ImGui draws itself. Called wherever a text is measured or drawn, so every
// character shown gets its glyph.
void note_text(std::string_view text, ImFont* font);
void note_text(std::string_view text);
// Also records that `text` was painted, not only measured: when room runs
// short, the glyphs a frame painted get it before those it only measured.
void note_painted_text(std::string_view text, ImFont* font);

// The pixels per point the fonts serve.
float font_scale();

// Between frames: the frame that follows is a new one (the least recently
// drawn glyphs are told by frames).
void begin_font_frame();
// True when the frame since begin_font_frame drew a character whose glyph
// waits to be baked: it is not to be shown.
bool frame_lacks_glyphs();
// Seconds from `now` (the end of a frame) until the glyphs waiting are due to
// be baked, 0 when they are; infinity when none wait. New text met over
// several frames is gathered into one bake (GlyphBakePacing).
double glyph_bake_wait(double now);

// True when noted characters wait for their glyphs or the fonts were baked
// for another scale; given `now`, only when those glyphs are also due.
bool fonts_need_rebuild(float scale);
bool fonts_need_rebuild(float scale, double now);
// Builds the atlas again at `scale` with the glyphs of every character noted
// so far, within the atlas's bounds: from the family's own faces when they
// hold it, else from an installed face fontconfig finds; characters no face
// holds show the box. Only between frames; the fonts keep their addresses.
// `now` is when it happens, for the pacing of later bakes.
void rebuild_fonts(float scale, double now = -std::numeric_limits<double>::infinity());

// The baked font for `id`: the exact size when baked, else the nearest baked
// size of the same family; nullptr before install_fonts.
ImFont* font(FontId id);

}  // namespace corvane
