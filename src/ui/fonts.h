#pragma once
// Font families, text styles and the baked atlas fonts. Views name a font as a
// family plus a size in points; the atlas holds one font per face and size the
// views use, rastered at round(1.3 x size) pixels (the faces' ascent minus
// descent is 1.3 em).
#include <cstdint>
#include <span>
#include <string>
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

// Pixel size of a font of `points`: round(1.3 x points), computed in float.
float font_pixel_size(float points);
// Vertical shift that puts a baked font's ascent where a `points` em font's
// ascent (1.025 em) is: round(1.025 x points) - ceil(px x 1025 / 1300).
float font_glyph_offset_y(float points);

// Every (family, size) the views draw with.
std::span<const FontId> font_sizes_in_use();

// Adds one font per entry of font_sizes_in_use() to `atlas` (Latin-1 plus
// U+2026, oversampling 1, pixel-snapped), builds it and makes those fonts the
// ones font() returns. The atlas must outlive every later font() call.
void install_fonts(ImFontAtlas& atlas);

// The baked font for `id`: the exact size when baked, else the nearest baked
// size of the same family; nullptr before install_fonts.
ImFont* font(FontId id);

}  // namespace corvane
