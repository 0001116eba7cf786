#include "ui/fonts.h"

#include <cmath>
#include <cstddef>

#include "ui/font_faces.h"

namespace corvane {

namespace embedded {
extern const unsigned char plex_sans_regular[];
extern const std::size_t plex_sans_regular_size;
extern const unsigned char plex_sans_medium[];
extern const std::size_t plex_sans_medium_size;
extern const unsigned char plex_sans_semibold[];
extern const std::size_t plex_sans_semibold_size;
extern const unsigned char plex_mono_regular[];
extern const std::size_t plex_mono_regular_size;
extern const unsigned char plex_mono_medium[];
extern const std::size_t plex_mono_medium_size;
}  // namespace embedded

FontId text_style_font(TextStyle style) {
    switch (style) {
    case TextStyle::Small: return {FontFamily::Proportional, 11.5f};
    case TextStyle::Body: return {FontFamily::Proportional, 13.5f};
    case TextStyle::Monospace: return {FontFamily::Monospace, 13.0f};
    case TextStyle::Button: return {FontFamily::Medium, 12.5f};
    case TextStyle::Heading: return {FontFamily::Semibold, 18.0f};
    }
    return {};
}

std::vector<std::string> font_family_with_fallbacks(const std::string& name,
                                                    const std::vector<std::string>& existing) {
    std::vector<std::string> out;
    out.reserve(existing.size() + 1);
    out.push_back(name);
    out.insert(out.end(), existing.begin(), existing.end());
    return out;
}

std::vector<std::string> font_family_names(FontFamily family) {
    // The toolkit brings no faces of its own, so the default lists are empty
    // and each family is its face plus the proportional list.
    const std::vector<std::string> proportional = font_family_with_fallbacks("plex", {});
    switch (family) {
    case FontFamily::Proportional: return proportional;
    case FontFamily::Monospace: return font_family_with_fallbacks("plex_mono", {});
    case FontFamily::Medium: return font_family_with_fallbacks("plex_medium", proportional);
    case FontFamily::Semibold: return font_family_with_fallbacks("plex_semibold", proportional);
    case FontFamily::MonoMedium: return font_family_with_fallbacks("plex_mono_medium", proportional);
    }
    return proportional;
}

std::span<const unsigned char> embedded_font_data(const std::string& name) {
    using namespace embedded;
    if (name == "plex") return {plex_sans_regular, plex_sans_regular_size};
    if (name == "plex_medium") return {plex_sans_medium, plex_sans_medium_size};
    if (name == "plex_semibold") return {plex_sans_semibold, plex_sans_semibold_size};
    if (name == "plex_mono") return {plex_mono_regular, plex_mono_regular_size};
    if (name == "plex_mono_medium") return {plex_mono_medium, plex_mono_medium_size};
    return {};
}

float font_pixel_size(float points, float scale) { return std::round(1.3f * points * scale); }

float font_glyph_offset_y(float points, float scale) {
    // The five faces share their vertical metrics.
    return std::round(std::round(1.025f * points) * scale) -
           baked_ascent(embedded_face("plex"), font_pixel_size(points, scale));
}

}  // namespace corvane
