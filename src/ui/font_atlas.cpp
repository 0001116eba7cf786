// The baked fonts: which glyphs each holds, from which face, at which scale,
// and which of them the atlas's bounds leave room for.
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ui/font_faces.h"
#include "ui/fonts.h"
#include "ui/glyph_bake_pacing.h"

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
constexpr int kPadding = 1;           // the atlas's space around each glyph
// The share of the texture the atlas's packer fills with glyphs: glyphs are
// given this share of the texels allowed, so the texture fits at the first try.
constexpr double kPackedShare = 0.85;
// The atlas's builder picks no width above this, and packs no higher.
constexpr int kWidestBuilt = 4096;
constexpr int kHighestBuilt = 32768;
constexpr int kBuildAttempts = 6;

bool in_base(unsigned int c) { return c <= 0x00FF || c == 0x2026; }

// Where a character met beyond the base set stands.
enum class Held : std::uint8_t {
    Waiting,   // noted, not baked yet
    Baked,     // has its glyph
    Overflow,  // drawn since the last bake but found no room: the box until a later bake
    Boxed,     // no face holds it: the box
};

struct Extra {
    Held held = Held::Waiting;
    FaceId face = kNoFace;
    std::uint32_t drawn = 0;  // the frame it was last drawn in
    std::uint32_t order = 0;  // when in that frame it was first drawn
    std::uint32_t painted = 0;  // the frame it was last painted in, not only measured
    int texels = 0;           // its rectangle in the texture at Atlas::measured_raster; 0 before measured
};

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
    std::unordered_map<ImWchar, Extra> extras;  // every character met beyond the base set
    std::vector<ImWchar> main_ranges;           // the base set and faces[0]'s baked extras
    std::vector<Merge> merges;                  // the other faces' baked extras
    int box_rect = -1;
    int box_stroke = 1;
};

struct Atlas {
    ImFontAtlas* atlas = nullptr;
    float scale = 1.0f;   // the pixels per point the fonts serve
    float raster = 1.0f;  // those they are rastered at: `scale` unless the largest texture can't hold them
    AtlasLimits limits;
    std::vector<BakedFont> fonts;
    bool waiting = false;  // characters wait for their glyphs
    bool met_new = false;  // new ones since the pacing was last told
    bool frame_lacks = false;
    std::uint32_t frame = 0;
    std::uint32_t drawn_in_frame = 0;  // characters beyond the base set drawn so far in this frame
    std::uint32_t baked_frame = 0;
    float measured_raster = 0.0f;  // the raster Extra::texels and base_texels are for
    std::int64_t base_texels = 0;
    GlyphBakePacing pacing;
};
// Written on the UI thread only, between frames.
Atlas g_atlas;

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

// The pixel size `face` is rastered at in `bf` at `raster` pixels per point.
float face_pixel_size(const BakedFont& bf, FaceId face, float raster) {
    const float px = font_pixel_size(bf.id.size, raster);
    return face == bf.faces.front() ? px : matching_pixel_size(face, bf.faces.front(), px);
}

void resolve_waiting(BakedFont& bf) {
    for (auto& [c, e] : bf.extras) {
        if (e.held != Held::Waiting || e.face != kNoFace) continue;
        for (FaceId f : bf.faces)
            if (face_has_glyph(f, c)) {
                e.face = f;
                break;
            }
        if (e.face == kNoFace) e.face = system_face_for(c, bf.monospace);
        if (e.face == kNoFace) e.held = Held::Boxed;
    }
}

// The texels the base set of every font takes at `raster`.
std::int64_t base_texels(float raster) {
    std::int64_t sum = 0;
    for (const BakedFont& bf : g_atlas.fonts) {
        const FaceId main = bf.faces.front();
        const float px = font_pixel_size(bf.id.size, raster);
        for (std::size_t i = 0; i + 1 < std::size(kBaseRanges); i += 2)
            for (unsigned c = kBaseRanges[i]; c <= kBaseRanges[i + 1]; ++c)
                if (face_has_glyph(main, c)) sum += glyph_texels(main, px, c, kPadding);
        const BoxShape box = box_shape(px);
        sum += static_cast<std::int64_t>(box.width + kPadding) * (box.height + kPadding);
    }
    return sum;
}

void measure_texels(float raster) {
    if (g_atlas.measured_raster == raster) return;
    for (BakedFont& bf : g_atlas.fonts)
        for (auto& [c, e] : bf.extras) e.texels = 0;
    g_atlas.base_texels = base_texels(raster);
    g_atlas.measured_raster = raster;
}

// Gives the glyphs drawn most recently room, up to `budget` texels of them.
// The rest are dropped, or shown as the box when drawn since the last bake:
// those are on screen, and dropped they would come back at once. Returns the
// texels kept.
std::int64_t choose_baked(std::int64_t budget) {
    struct Candidate {
        std::uint32_t drawn;
        bool painted;
        std::uint32_t order;
        BakedFont* font;
        ImWchar c;
        Extra* extra;  // erasing other entries leaves it valid
    };
    std::vector<Candidate> all;
    for (BakedFont& bf : g_atlas.fonts)
        for (auto& [c, e] : bf.extras)
            if (e.held != Held::Boxed) all.push_back({e.drawn, e.painted == e.drawn, e.order, &bf, c, &e});
    // Among glyphs of one frame, those painted before those only measured (a
    // whole text measured to fit a field shows only its start), then those
    // drawn first: a frame draws from the top.
    std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
        if (a.drawn != b.drawn) return a.drawn > b.drawn;
        if (a.painted != b.painted) return a.painted;
        return a.order < b.order;
    });
    // Measuring a glyph reads its outline: once the budget is spent, a long
    // run of glyphs that don't fit ends the search rather than measure the
    // tens of thousands a flood of text may have left.
    constexpr int kMissesToGiveUp = 64;
    std::int64_t kept = 0;
    int misses = 0;
    for (const Candidate& k : all) {
        Extra& e = *k.extra;
        if (misses < kMissesToGiveUp) {
            if (e.texels == 0)
                e.texels = glyph_texels(e.face, face_pixel_size(*k.font, e.face, g_atlas.raster), k.c, kPadding);
            if (kept + e.texels <= budget) {
                e.held = Held::Baked;
                kept += e.texels;
                misses = 0;
                continue;
            }
            ++misses;
        }
        if (e.drawn > g_atlas.baked_frame)
            e.held = Held::Overflow;
        else
            k.font->extras.erase(k.c);
    }
    for (BakedFont& bf : g_atlas.fonts) bf.extras.rehash(0);  // gives back the dropped ones' buckets
    return kept;
}

// The atlas's inputs from the fonts' state: the main source of font i is
// ConfigData[i]; the other faces' sources follow all of them.
void configure(ImFontAtlas& atlas, float raster) {
    const int side = std::min(g_atlas.limits.max_texture_side, kWidestBuilt);
    atlas.TexDesiredWidth = side < kWidestBuilt ? side : 0;  // else the builder's own choice
    atlas.ConfigData.resize(static_cast<int>(g_atlas.fonts.size()));
    for (std::size_t i = 0; i < g_atlas.fonts.size(); ++i) {
        BakedFont& bf = g_atlas.fonts[i];
        const float px = font_pixel_size(bf.id.size, raster);
        std::vector<ImWchar> main_chars;
        bf.merges.clear();
        for (const auto& [c, e] : bf.extras) {
            if (e.held != Held::Baked) continue;
            if (e.face == bf.faces.front()) {
                main_chars.push_back(c);
                continue;
            }
            auto m = std::find_if(bf.merges.begin(), bf.merges.end(), [&](const Merge& x) { return x.face == e.face; });
            if (m == bf.merges.end()) m = bf.merges.insert(bf.merges.end(), Merge{e.face, {}, {}});
            m->chars.push_back(c);
        }
        std::sort(main_chars.begin(), main_chars.end());
        ImFontConfig& main = atlas.ConfigData[static_cast<int>(i)];
        main.SizePixels = px;
        main.GlyphOffset = ImVec2(0.0f, font_glyph_offset_y(bf.id.size, raster));
        bf.main_ranges = ranges_of(kBaseRanges, main_chars);
        main.GlyphRanges = bf.main_ranges.data();
        // A copy: adding the merged sources below may move ConfigData.
        const ImFontConfig merged_base = main;
        for (Merge& m : bf.merges) {
            std::sort(m.chars.begin(), m.chars.end());
            m.ranges = ranges_of({}, m.chars);
            ImFontConfig cfg = merged_base;
            const std::span<const unsigned char> data = face_data(m.face);
            // The atlas never writes the data; it must not free it either.
            cfg.FontData = const_cast<unsigned char*>(data.data());
            cfg.FontDataSize = static_cast<int>(data.size());
            cfg.FontDataOwnedByAtlas = false;
            cfg.FontNo = face_index(m.face);
            cfg.SizePixels = face_pixel_size(bf, m.face, raster);
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
                               std::round(std::round(1.025f * bf.id.size) * raster) - static_cast<float>(box.height));
        bf.box_stroke = box.stroke;
    }
}

// A glyph's advance in the font baked at scale 1.
float advance_at_scale_one(const BakedFont& bf, ImWchar c) {
    if (c == kBox) return box_shape(font_pixel_size(bf.id.size)).advance();
    FaceId face = bf.faces.front();
    if (auto it = bf.extras.find(c); it != bf.extras.end()) face = it->second.face;
    return snapped_advance(face, face_pixel_size(bf, face, 1.0f), c);
}

// Glyphs rastered at `raster` pixels per point, measured in points: positions
// divided by the raster scale, and advances, size and ascent those of scale
// 1, so every text measures exactly as at scale 1 and lays out the same.
void measure_in_points(BakedFont& bf, float raster) {
    ImFont* f = bf.font;
    for (ImFontGlyph& g : f->Glyphs) {
        if (g.Codepoint == '\t') continue;  // remade from the space below
        g.X0 /= raster;
        g.Y0 /= raster;
        g.X1 /= raster;
        g.Y1 /= raster;
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

void build_once() {
    ImFontAtlas& atlas = *g_atlas.atlas;
    configure(atlas, g_atlas.raster);
    atlas.Build();
    for (BakedFont& bf : g_atlas.fonts) {
        if (g_atlas.raster != 1.0f) measure_in_points(bf, g_atlas.raster);
        for (const auto& [c, e] : bf.extras)
            if (e.held == Held::Boxed || e.held == Held::Overflow) bf.font->AddRemapChar(c, kBox);
    }
    paint_boxes(atlas);
}

// The texels the texture may hold: the memory budget, and no more than the
// largest texture's side tall at the width it is built.
std::int64_t texels_allowed() {
    const std::int64_t side = std::min(g_atlas.limits.max_texture_side, kHighestBuilt);
    const double per_point = static_cast<double>(g_atlas.limits.texels_per_square_scale) * g_atlas.scale * g_atlas.scale;
    return std::min(static_cast<std::int64_t>(per_point), std::min<std::int64_t>(side, kWidestBuilt) * side);
}

bool fits(const ImFontAtlas& atlas) {
    const int side = std::min(g_atlas.limits.max_texture_side, kHighestBuilt);
    return atlas.TexWidth <= side && atlas.TexHeight <= side &&
           static_cast<std::int64_t>(atlas.TexWidth) * atlas.TexHeight <= texels_allowed();
}

// Builds with the most recently drawn glyphs the bounds leave room for. The
// room is estimated from the glyphs' rectangles; a texture that still comes
// out too big is built again with fewer, and when even the base set doesn't
// fit the largest texture, with every font rastered smaller.
void build() {
    ImFontAtlas& atlas = *g_atlas.atlas;
    g_atlas.raster = g_atlas.scale;
    std::int64_t budget = -1;  // the texels the bounds leave the glyphs beyond the base set
    for (int attempt = 1;; ++attempt) {
        measure_texels(g_atlas.raster);
        if (budget < 0)
            budget = std::max<std::int64_t>(
                0, static_cast<std::int64_t>(static_cast<double>(texels_allowed()) * kPackedShare) - g_atlas.base_texels);
        const std::int64_t kept = choose_baked(budget);
        build_once();
        if (fits(atlas) || attempt == kBuildAttempts) break;
        const std::int64_t used = static_cast<std::int64_t>(atlas.TexWidth) * atlas.TexHeight;
        const int side = std::min(g_atlas.limits.max_texture_side, kHighestBuilt);
        const std::int64_t allowed = std::min(texels_allowed(), static_cast<std::int64_t>(atlas.TexWidth) * side);
        if (kept > 0) {
            budget = std::max<std::int64_t>(0, kept - (used - allowed) * 5 / 4);
        } else {
            g_atlas.raster *= std::min(0.9f, std::sqrt(static_cast<float>(allowed) / static_cast<float>(used)));
            budget = -1;
        }
    }
}

BakedFont* baked(const ImFont* f) {
    for (BakedFont& bf : g_atlas.fonts)
        if (bf.font == f) return &bf;
    return nullptr;
}

void note(std::string_view text, ImFont* font, bool painted) {
    if (font == nullptr || std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) return;
    BakedFont* bf = nullptr;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        unsigned int c = 0;
        const int len = ImTextCharFromUtf8(&c, p, end);
        p += len > 0 ? len : 1;
        if (c < 0x80) continue;
        const ImFontGlyph* g = font->FindGlyphNoFallback(static_cast<ImWchar>(c));
        if (g != nullptr && in_base(c)) continue;
        if (bf == nullptr && (bf = baked(font)) == nullptr) return;
        const auto [it, added] = bf->extras.try_emplace(static_cast<ImWchar>(c));
        Extra& e = it->second;
        if (e.drawn != g_atlas.frame) {
            e.drawn = g_atlas.frame;
            e.order = g_atlas.drawn_in_frame++;
        }
        if (painted) e.painted = g_atlas.frame;
        if (g != nullptr) continue;
        g_atlas.frame_lacks = true;
        if (!added) continue;
        g_atlas.waiting = true;
        g_atlas.met_new = true;
    }
}

}  // namespace

void install_fonts(ImFontAtlas& atlas, float scale, AtlasLimits limits) {
    g_atlas = Atlas{};
    g_atlas.frame = 1;  // what the first frame draws counts as drawn since this bake
    g_atlas.atlas = &atlas;
    g_atlas.scale = scale;
    g_atlas.limits = limits;
    atlas.Flags |= ImFontAtlasFlags_NoBakedLines;         // lines get geometric fringes
    atlas.Flags |= ImFontAtlasFlags_NoPowerOfTwoHeight;  // no texels spent on rounding up
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

void set_atlas_limits(AtlasLimits limits) { g_atlas.limits = limits; }

void note_text(std::string_view text, ImFont* font) { note(text, font, false); }

void note_painted_text(std::string_view text, ImFont* font) { note(text, font, true); }

void note_text(std::string_view text) { note_text(text, ImGui::GetFont()); }

float font_scale() { return g_atlas.scale; }

void begin_font_frame() {
    ++g_atlas.frame;
    g_atlas.drawn_in_frame = 0;
    g_atlas.frame_lacks = false;
}

bool frame_lacks_glyphs() { return g_atlas.frame_lacks; }

double glyph_bake_wait(double now) {
    if (g_atlas.met_new) g_atlas.pacing.met(now);
    g_atlas.met_new = false;
    return std::max(0.0, g_atlas.pacing.due_at() - now);
}

bool fonts_need_rebuild(float scale) {
    return g_atlas.atlas != nullptr && (g_atlas.waiting || scale != g_atlas.scale);
}

bool fonts_need_rebuild(float scale, double now) {
    if (g_atlas.atlas == nullptr) return false;
    if (scale != g_atlas.scale) return true;
    return g_atlas.waiting && glyph_bake_wait(now) == 0.0;
}

void rebuild_fonts(float scale, double now) {
    if (g_atlas.atlas == nullptr) return;
    for (BakedFont& bf : g_atlas.fonts) resolve_waiting(bf);
    g_atlas.waiting = false;
    g_atlas.met_new = false;
    g_atlas.scale = scale;
    build();
    g_atlas.baked_frame = g_atlas.frame;
    g_atlas.pacing.baked(now);
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
