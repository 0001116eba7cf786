// The baked fonts: which glyphs each holds, from which face, at which scale.
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "ui/font_faces.h"
#include "ui/fonts.h"

namespace corvane {

namespace {

// Latin-1 holds every text of the program's own but the overflow "…", which
// elided rows need. Other characters are baked when a text first shows them:
// baking whole scripts into every size up front would cost start-up time and
// texture for characters most sessions never show.
constexpr ImWchar kBaseRanges[] = {0x0020, 0x00FF, 0x2026, 0x2026};
// The box drawn for characters no face holds sits on a control character no
// text shows: a glyph at U+FFFD would stretch every font's lookup tables,
// which span up to the highest character baked, to 64K entries.
constexpr ImWchar kBox = 0x0080;
constexpr float kHeightPerEm = 1.3f;  // the embedded faces' ascent minus descent

struct Merge {
    FaceId face = kNoFace;
    std::vector<ImWchar> chars;  // sorted
    std::vector<ImWchar> ranges;
};

struct BakedFont {
    FontId id;
    ImFont* font = nullptr;
    std::vector<FaceId> faces;  // the family's embedded faces, first choice first
    bool monospace = false;     // which kind of system face follows them
    std::vector<ImWchar> main_chars;  // beyond the base, from faces[0] (sorted)
    std::vector<ImWchar> main_ranges;
    std::vector<Merge> merges;
    std::vector<ImWchar> boxed;  // no face holds them
    std::set<ImWchar> seen;      // every character resolved or waiting
    std::vector<ImWchar> pending;
    int box_rect = -1;
    int box_stroke = 1;
};

struct Atlas {
    ImFontAtlas* atlas = nullptr;
    float scale = 1.0f;
    std::vector<BakedFont> fonts;
    bool pending = false;
};
// Written on the UI thread only, between frames.
Atlas g_atlas;

void insert_sorted(std::vector<ImWchar>& v, ImWchar c) { v.insert(std::upper_bound(v.begin(), v.end(), c), c); }

bool holds(const std::vector<ImWchar>& v, ImWchar c) { return std::binary_search(v.begin(), v.end(), c); }

std::vector<ImWchar> ranges_of(std::span<const ImWchar> base, const std::vector<ImWchar>& chars) {
    std::vector<ImWchar> r(base.begin(), base.end());
    for (ImWchar c : chars) {
        if (!r.empty() && r.back() + 1 == c && r.size() > base.size())
            r.back() = c;  // extends the previous single-character run
        else
            r.insert(r.end(), {c, c});
    }
    r.push_back(0);
    return r;
}

// The box: an outline 0.5 em wide and 0.7 em high standing on the baseline,
// with 0.08 em on either side; pixels at `px`.
struct BoxShape {
    int width, height, side, stroke;
    float advance() const { return static_cast<float>(width + 2 * side); }
};
BoxShape box_shape(float px) {
    const float em = px / kHeightPerEm;
    return {std::max(3, static_cast<int>(std::lround(0.5f * em))), std::max(4, static_cast<int>(std::lround(0.7f * em))),
            static_cast<int>(std::lround(0.08f * em)), std::max(1, static_cast<int>(std::lround(em / 12.0f)))};
}

void resolve_pending(BakedFont& bf) {
    for (ImWchar c : bf.pending) {
        FaceId from = kNoFace;
        for (FaceId f : bf.faces)
            if (face_has_glyph(f, c)) {
                from = f;
                break;
            }
        if (from == kNoFace) from = system_face_for(c, bf.monospace);
        if (from == kNoFace) {
            insert_sorted(bf.boxed, c);
        } else if (from == bf.faces.front()) {
            insert_sorted(bf.main_chars, c);
        } else {
            auto m = std::find_if(bf.merges.begin(), bf.merges.end(), [&](const Merge& x) { return x.face == from; });
            if (m == bf.merges.end()) m = bf.merges.insert(bf.merges.end(), Merge{from, {}, {}});
            insert_sorted(m->chars, c);
        }
    }
    bf.pending.clear();
}

// The atlas's inputs from the fonts' state: the main source of font i is
// ConfigData[i]; the other faces' sources follow all of them.
void configure(ImFontAtlas& atlas, float scale) {
    atlas.ConfigData.resize(static_cast<int>(g_atlas.fonts.size()));
    for (std::size_t i = 0; i < g_atlas.fonts.size(); ++i) {
        BakedFont& bf = g_atlas.fonts[i];
        const float px = font_pixel_size(bf.id.size, scale);
        ImFontConfig& main = atlas.ConfigData[static_cast<int>(i)];
        main.SizePixels = px;
        main.GlyphOffset = ImVec2(0.0f, font_glyph_offset_y(bf.id.size, scale));
        bf.main_ranges = ranges_of(kBaseRanges, bf.main_chars);
        main.GlyphRanges = bf.main_ranges.data();
        for (Merge& m : bf.merges) {
            m.ranges = ranges_of({}, m.chars);
            ImFontConfig cfg = main;
            const std::span<const unsigned char> data = face_data(m.face);
            // The atlas never writes the data; it must not free it either.
            cfg.FontData = const_cast<unsigned char*>(data.data());
            cfg.FontDataSize = static_cast<int>(data.size());
            cfg.FontDataOwnedByAtlas = false;
            cfg.FontNo = face_index(m.face);
            cfg.SizePixels = matching_pixel_size(m.face, bf.faces.front(), px);
            cfg.GlyphRanges = m.ranges.data();
            cfg.MergeMode = true;
            cfg.DstFont = bf.font;
            atlas.ConfigData.push_back(cfg);
        }
        const BoxShape box = box_shape(px);
        ImFontAtlasCustomRect& r = atlas.CustomRects[bf.box_rect];
        r.Width = static_cast<unsigned short>(box.width);
        r.Height = static_cast<unsigned short>(box.height);
        r.GlyphAdvanceX = box.advance();
        r.GlyphOffset = ImVec2(static_cast<float>(box.side),
                               std::round(std::round(1.025f * bf.id.size) * scale) - static_cast<float>(box.height));
        bf.box_stroke = box.stroke;
    }
}

// A glyph's advance in the font baked at scale 1.
float advance_at_scale_one(const BakedFont& bf, ImWchar c) {
    const float px = font_pixel_size(bf.id.size);
    if (c == kBox) return box_shape(px).advance();
    for (const Merge& m : bf.merges)
        if (holds(m.chars, c)) return snapped_advance(m.face, matching_pixel_size(m.face, bf.faces.front(), px), c);
    return snapped_advance(bf.faces.front(), px, c);
}

// Glyphs rastered at `scale` pixels per point, measured in points: positions
// divided by the scale, and advances, size and ascent those of scale 1, so
// every text measures exactly as at scale 1 and lays out the same.
void measure_in_points(BakedFont& bf, float scale) {
    ImFont* f = bf.font;
    for (ImFontGlyph& g : f->Glyphs) {
        if (g.Codepoint == '\t') continue;  // remade from the space below
        g.X0 /= scale;
        g.Y0 /= scale;
        g.X1 /= scale;
        g.Y1 /= scale;
        g.AdvanceX = advance_at_scale_one(bf, static_cast<ImWchar>(g.Codepoint));
    }
    const float px = font_pixel_size(bf.id.size);
    f->FontSize = px;
    f->Ascent = baked_ascent(bf.faces.front(), px);
    f->Descent = baked_descent(bf.faces.front(), px);
    f->BuildLookupTable();
}

void paint_boxes(ImFontAtlas& atlas) {
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    atlas.GetTexDataAsAlpha8(&pixels, &width, &height);
    if (pixels == nullptr) return;
    for (const BakedFont& bf : g_atlas.fonts) {
        const ImFontAtlasCustomRect& r = atlas.CustomRects[bf.box_rect];
        const int t = bf.box_stroke;
        for (int y = 0; y < r.Height; ++y)
            for (int x = 0; x < r.Width; ++x) {
                const bool edge = x < t || y < t || x >= r.Width - t || y >= r.Height - t;
                pixels[static_cast<std::size_t>(r.Y + y) * static_cast<std::size_t>(width) + r.X + x] = edge ? 255 : 0;
            }
    }
}

void build() {
    ImFontAtlas& atlas = *g_atlas.atlas;
    configure(atlas, g_atlas.scale);
    atlas.Build();
    for (BakedFont& bf : g_atlas.fonts) {
        if (g_atlas.scale != 1.0f) measure_in_points(bf, g_atlas.scale);
        for (ImWchar c : bf.boxed) bf.font->AddRemapChar(c, kBox);
    }
    paint_boxes(atlas);
}

BakedFont* baked(const ImFont* f) {
    for (BakedFont& bf : g_atlas.fonts)
        if (bf.font == f) return &bf;
    return nullptr;
}

}  // namespace

void install_fonts(ImFontAtlas& atlas, float scale) {
    g_atlas = Atlas{};
    g_atlas.atlas = &atlas;
    g_atlas.scale = scale;
    atlas.Flags |= ImFontAtlasFlags_NoBakedLines;  // lines get geometric fringes
    for (const FontId& id : font_sizes_in_use()) {
        BakedFont bf;
        bf.id = id;
        for (const std::string& name : font_family_names(id.family))
            if (const FaceId f = embedded_face(name); f != kNoFace) bf.faces.push_back(f);
        bf.monospace = id.family == FontFamily::Monospace;
        const std::span<const unsigned char> data = face_data(bf.faces.front());
        ImFontConfig cfg;
        cfg.FontDataOwnedByAtlas = true;  // spares the atlas a copy; given back below
        cfg.OversampleH = 1;
        cfg.OversampleV = 1;
        cfg.PixelSnapH = true;
        bf.font = atlas.AddFontFromMemoryTTF(const_cast<unsigned char*>(data.data()), static_cast<int>(data.size()),
                                             font_pixel_size(id.size, scale), &cfg, kBaseRanges);
        // The data is the program's own: the atlas must never free it.
        atlas.ConfigData.back().FontDataOwnedByAtlas = false;
        bf.box_rect = atlas.AddCustomRectFontGlyph(bf.font, kBox, 1, 1, 0.0f);
        bf.font->FallbackChar = kBox;
        g_atlas.fonts.push_back(std::move(bf));
    }
    build();
}

void note_text(std::string_view text, ImFont* font) {
    if (font == nullptr || std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) return;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        unsigned int c = 0;
        const int len = ImTextCharFromUtf8(&c, p, end);
        p += len > 0 ? len : 1;
        if (c < 0x80 || font->FindGlyphNoFallback(static_cast<ImWchar>(c)) != nullptr) continue;
        BakedFont* bf = baked(font);
        if (bf == nullptr || !bf->seen.insert(static_cast<ImWchar>(c)).second) continue;
        bf->pending.push_back(static_cast<ImWchar>(c));
        g_atlas.pending = true;
    }
}

void note_text(std::string_view text) { note_text(text, ImGui::GetFont()); }

float font_scale() { return g_atlas.scale; }

bool fonts_need_rebuild(float scale) {
    return g_atlas.atlas != nullptr && (g_atlas.pending || scale != g_atlas.scale);
}

void rebuild_fonts(float scale) {
    if (g_atlas.atlas == nullptr) return;
    for (BakedFont& bf : g_atlas.fonts) resolve_pending(bf);
    g_atlas.pending = false;
    g_atlas.scale = scale;
    build();
}

ImFont* font(FontId id) {
    ImFont* best = nullptr;
    float best_diff = 0.0f;
    for (const BakedFont& b : g_atlas.fonts) {
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
