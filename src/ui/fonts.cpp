#include "ui/fonts.h"

#include <imgui.h>

#include <cmath>
#include <cstddef>
#include <utility>

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

namespace {

struct Baked {
    FontId id;
    ImFont* font;
};
// Written once by install_fonts on the UI thread before the first frame.
std::vector<Baked> g_baked;

// Latin-1 holds every text but the overflow "…", which elided rows need.
const ImWchar kGlyphRanges[] = {0x0020, 0x00FF, 0x2026, 0x2026, 0};

}  // namespace

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

float font_pixel_size(float points) { return std::round(1.3f * points); }

float font_glyph_offset_y(float points) {
    const float px = font_pixel_size(points);
    return std::round(1.025f * points) - std::ceil(px * 1025.0f / 1300.0f);
}

void install_fonts(ImFontAtlas& atlas) {
    g_baked.clear();
    atlas.Flags |= ImFontAtlasFlags_NoBakedLines;  // lines get geometric fringes
    for (const FontId& id : font_sizes_in_use()) {
        std::span<const unsigned char> data;
        for (const std::string& name : font_family_names(id.family))
            if (data = embedded_font_data(name); !data.empty()) break;
        ImFontConfig cfg;
        cfg.FontDataOwnedByAtlas = false;  // static data: the atlas must not free it
        cfg.OversampleH = 1;
        cfg.OversampleV = 1;
        cfg.PixelSnapH = true;
        cfg.GlyphOffset = ImVec2(0.0f, font_glyph_offset_y(id.size));
        // ImGui takes a non-const pointer but never writes through it when it
        // does not own the data.
        ImFont* f = atlas.AddFontFromMemoryTTF(const_cast<unsigned char*>(data.data()),
                                               static_cast<int>(data.size()), font_pixel_size(id.size),
                                               &cfg, kGlyphRanges);
        g_baked.push_back({id, f});
    }
    atlas.Build();
    atlas.ClearInputData();
}

ImFont* font(FontId id) {
    ImFont* best = nullptr;
    float best_diff = 0.0f;
    for (const Baked& b : g_baked) {
        if (b.id.family != id.family) continue;
        const float diff = std::fabs(b.id.size - id.size);
        if (best == nullptr || diff < best_diff) {
            best = b.font;
            best_diff = diff;
        }
    }
    return best;
}

}  // namespace corvane
