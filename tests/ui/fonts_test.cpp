#include "ui/fonts.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cmath>
#include <set>

#include "headless_imgui.h"
#include "ui/imgui_context.h"
#include "ui/text_layout.h"

namespace corvane {
namespace {

TEST(FontFamilies, FallbackListsFollowTheirFace) {
    EXPECT_EQ(font_family_with_fallbacks("a", {"b", "c"}), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(font_family_with_fallbacks("a", {}), (std::vector<std::string>{"a"}));
    EXPECT_EQ(font_family_names(FontFamily::Proportional), (std::vector<std::string>{"plex"}));
    EXPECT_EQ(font_family_names(FontFamily::Monospace), (std::vector<std::string>{"plex_mono"}));
    EXPECT_EQ(font_family_names(FontFamily::Medium), (std::vector<std::string>{"plex_medium", "plex"}));
    EXPECT_EQ(font_family_names(FontFamily::Semibold), (std::vector<std::string>{"plex_semibold", "plex"}));
    // Mono medium falls back to the proportional list, not the monospace one.
    EXPECT_EQ(font_family_names(FontFamily::MonoMedium), (std::vector<std::string>{"plex_mono_medium", "plex"}));
    for (const char* name : {"plex", "plex_medium", "plex_semibold", "plex_mono", "plex_mono_medium"})
        EXPECT_GT(embedded_font_data(name).size(), 100000u) << name;
    EXPECT_TRUE(embedded_font_data("Hack").empty());
}

TEST(FontSizes, PixelSizesAndAscentShift) {
    struct Case {
        float pt, px, shift;
    } cases[] = {
        {8, 10, 0}, {10.5f, 14, -1}, {11, 14, -1}, {12, 16, -1}, {12.5f, 16, 0},
        {13.5f, 18, -1}, {14, 18, -1}, {20, 26, 0}, {64, 83, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(font_pixel_size(c.pt), c.px) << c.pt;
        EXPECT_EQ(font_glyph_offset_y(c.pt), c.shift) << c.pt;
    }
    std::set<std::pair<int, float>> distinct;
    for (const FontId& f : font_sizes_in_use()) distinct.insert({int(f.family), f.size});
    EXPECT_EQ(distinct.size(), font_sizes_in_use().size());
    EXPECT_EQ(text_style_font(TextStyle::Body).size, 13.5f);
    EXPECT_EQ(text_style_font(TextStyle::Button).family, FontFamily::Medium);
}

TEST(FontAtlas, BakesEverySizeWithTheOverflowGlyph) {
    test::ensure_headless_imgui();
    for (const FontId& id : font_sizes_in_use()) {
        ImFont* f = font(id);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->FontSize, font_pixel_size(id.size)) << int(id.family) << " " << id.size;
        EXPECT_NE(f->FindGlyphNoFallback(0x2026), nullptr) << id.size;
        EXPECT_NE(f->FindGlyphNoFallback(0x00B7), nullptr) << id.size;
        EXPECT_EQ(f->EllipsisChar, 0x2026);
        EXPECT_EQ(f->Ascent, std::ceil(f->FontSize * 1025.0f / 1300.0f));
    }
    // Plex Mono's advance is 600 units of 1300 per pixel of size.
    for (float pt : {10.5f, 11.5f, 12.5f, 13.0f, 14.0f}) {
        ImFont* f = font({FontFamily::Monospace, pt});
        EXPECT_EQ(f->FindGlyph('0')->AdvanceX, std::round(f->FontSize * 600 / 1300)) << pt;
        EXPECT_EQ(text_width("0000", f), 4 * f->FindGlyph('0')->AdvanceX);
    }
    // An unbaked size falls back to the nearest baked one of its family.
    EXPECT_EQ(font({FontFamily::Semibold, 18}), font({FontFamily::Semibold, 17}));
    EXPECT_NE(font({FontFamily::Medium, 12.5f}), font({FontFamily::Proportional, 12.5f}));
}

// Bakes what earlier frames noted, as the window does between frames.
void next_frame() { refresh_font_atlas(font_scale()); }

// Each character's glyph, by its texture rectangle (fonts share no glyphs).
const ImFontGlyph* glyph(FontId id, ImWchar c) { return font(id)->FindGlyph(c); }

TEST(FontAtlas, RasteredAtTwiceTheScaleTextMeasuresTheSame) {
    test::ensure_headless_imgui();
    const std::string texts[] = {"Corvane 10.77.100.1 \u00b7 12:05:09 PM", "0123456789 ms", "Packet loss \u2026"};
    struct Seen {
        float size, ascent, width;
    };
    std::vector<Seen> at_one;
    for (const FontId& id : font_sizes_in_use())
        for (const std::string& t : texts) at_one.push_back({font(id)->FontSize, font(id)->Ascent, text_width(t, font(id))});

    rebuild_fonts(2.0f);
    std::size_t k = 0;
    for (const FontId& id : font_sizes_in_use()) {
        ImFont* f = font(id);
        for (const std::string& t : texts) {
            const Seen& s = at_one[k++];
            EXPECT_EQ(f->FontSize, s.size) << int(id.family) << " " << id.size;
            EXPECT_EQ(f->Ascent, s.ascent) << int(id.family) << " " << id.size;
            EXPECT_EQ(text_width(t, f), s.width) << int(id.family) << " " << id.size << " " << t;
        }
        // Two texels per point: each pixel of a 2x screen gets a texel of its own.
        const ImFontGlyph* g = f->FindGlyph('M');
        const ImVec2 tex(static_cast<float>(ImGui::GetIO().Fonts->TexWidth),
                         static_cast<float>(ImGui::GetIO().Fonts->TexHeight));
        // (The texture's height is no power of two, so its coordinates aren't exact.)
        EXPECT_NEAR((g->U1 - g->U0) * tex.x, 2 * (g->X1 - g->X0), 1e-3) << id.size;
        EXPECT_NEAR((g->V1 - g->V0) * tex.y, 2 * (g->Y1 - g->Y0), 1e-3) << id.size;
    }
    rebuild_fonts(1.0f);
    EXPECT_EQ(text_width(texts[0], font(text_style_font(TextStyle::Body))), at_one[6 * 3 + 0].width);
}

TEST(FontAtlas, TextInOtherScriptsGetsItsOwnGlyphs) {
    test::ensure_headless_imgui();
    const FontId body = text_style_font(TextStyle::Body), mono{FontFamily::Monospace, 13}, mono_medium{FontFamily::MonoMedium, 14};
    ASSERT_NE(font(body)->FallbackGlyph, nullptr);
    EXPECT_NE(font(body)->FallbackGlyph, glyph(body, '?')) << "a missing character never shows as \"?\"";
    EXPECT_EQ(glyph(body, 0x041C), font(body)->FallbackGlyph) << "not baked before a text shows it";

    const std::string name = "\u041c\u043e\u0441\u043a\u0432\u0430 \u03a9mega \u2fe0";  // Москва Ωmega, and no face holds U+2FE0
    for (const FontId& id : {body, mono, mono_medium}) note_text(name, font(id));
    next_frame();
    for (const FontId& id : {body, mono, mono_medium}) {
        SCOPED_TRACE(int(id.family));
        const ImFontGlyph* m = glyph(id, 0x041C);  // Cyrillic: every embedded face
        EXPECT_NE(m, font(id)->FallbackGlyph);
        EXPECT_NE(m, glyph(id, 0x0434)) << "each letter its own glyph";
        EXPECT_EQ(glyph(id, 0x2fe0), font(id)->FallbackGlyph);
        EXPECT_NE(font(id)->FallbackGlyph, glyph(id, '?'));
    }
    // Greek: Plex Sans holds it, and mono medium falls back to Plex Sans;
    // Plex Mono lacks it (an installed monospace face gives it, or the box).
    EXPECT_NE(glyph(body, 0x03A9), font(body)->FallbackGlyph);
    EXPECT_NE(glyph(mono_medium, 0x03A9), font(mono_medium)->FallbackGlyph);
    EXPECT_EQ(glyph(mono_medium, 0x03A9)->AdvanceX, glyph({FontFamily::Proportional, 14}, 0x03A9)->AdvanceX);
    // Only the fonts that showed the text got its glyphs.
    EXPECT_EQ(glyph({FontFamily::Semibold, 24}, 0x041C), font({FontFamily::Semibold, 24})->FallbackGlyph);

    // The box: an outline, open in the middle, standing on the baseline.
    const ImFontGlyph* box = font(body)->FallbackGlyph;
    const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    ASSERT_NE(atlas.TexPixelsRGBA32, nullptr);
    const auto alpha = [&](float u, float v) {
        const int x = static_cast<int>(u * atlas.TexWidth), y = static_cast<int>(v * atlas.TexHeight);
        return atlas.TexPixelsRGBA32[y * atlas.TexWidth + x] >> 24;
    };
    const float du = 0.5f / atlas.TexWidth, dv = 0.5f / atlas.TexHeight;
    EXPECT_EQ(alpha(box->U0 + du, box->V0 + dv), 255u);
    EXPECT_EQ(alpha(box->U1 - du, box->V1 - dv), 255u);
    EXPECT_EQ(alpha((box->U0 + box->U1) / 2, (box->V0 + box->V1) / 2), 0u);
    EXPECT_GT(box->X1 - box->X0, 3.0f);
    EXPECT_EQ(box->Y1, std::round(1.025f * body.size));
}

bool valid_utf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

TEST(ElideTextRow, CutsToFitWithAnEllipsis) {
    test::ensure_headless_imgui();
    const FontId f{FontFamily::Proportional, 11.5f};
    const std::string text = "waiting for replies from the far side";
    const Galley whole = elide_text_row(text, f, 1000);
    EXPECT_EQ(whole.text, text);
    EXPECT_EQ(whole.color, rgb(110, 110, 110));

    for (float max : {150.0f, 60.0f, 20.0f}) {
        const Galley g = elide_text_row(text, f, max);
        ASSERT_GE(g.text.size(), 3u);
        EXPECT_EQ(g.text.substr(g.text.size() - 3), "\u2026") << max;
        EXPECT_LE(text_width(g.text, font(f)), max) << max;
        EXPECT_EQ(text.compare(0, g.text.size() - 3, g.text, 0, g.text.size() - 3), 0) << "a prefix";
        // One more character would not fit.
        const std::string longer = text.substr(0, g.text.size() - 2) + "\u2026";
        EXPECT_GT(text_width(longer, font(f)), max) << max;
    }
    // Widths below 10 count as 10.
    EXPECT_EQ(elide_text_row(text, f, -5).text, elide_text_row(text, f, 10).text);
    // Multi-byte characters are never split.
    const std::string accented = "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9";
    for (float max : {20.0f, 31.0f, 40.0f}) EXPECT_TRUE(valid_utf8(elide_text_row(accented, f, max).text)) << max;
}

// A row costs what it shows: a long text is measured only up to its cut, and
// a heap of combining marks, which take no width, ends the row.
TEST(ElideTextRow, MeasuresNoMoreThanItShows) {
    test::ensure_headless_imgui();
    const FontId mono{FontFamily::Monospace, 11};
    const std::string accent = "\u0301";
    note_text(accent, font(mono));
    next_frame();
    ASSERT_EQ(font(mono)->FindGlyph(0x0301)->AdvanceX, 0.0f);

    std::string heap = "10.66.10.9 ";
    for (int i = 0; i < 20000; ++i) heap += accent;
    heap += std::string(200, 'x');
    const std::string prose(std::size_t(1) << 20, 'a');
    const std::string* const texts[] = {&heap, &prose};
    for (const std::string* text : texts) {
        const std::size_t before = measured_text_bytes();
        const Galley g = elide_text_row(*text, mono, 264);
        EXPECT_LE(measured_text_bytes() - before, 2 * g.text.size() + 8) << text->size();
        EXPECT_TRUE(g.text.ends_with("\u2026")) << text->size();
        EXPECT_LE(g.size.x, 264.0f);
    }
    std::string heap_shown = "10.66.10.9 ";
    for (int i = 0; i < 30; ++i) heap_shown += accent;
    EXPECT_EQ(elide_text_row(heap, mono, 264).text, heap_shown + "\u2026");
}

TEST(TextLayout, AnchorsPlaceTheBox) {
    const Vec2 size{40, 16};
    EXPECT_EQ(anchor_rect({100, 50}, anchor::left_top, size), (Rect{100, 50, 140, 66}));
    EXPECT_EQ(anchor_rect({100, 50}, anchor::center_center, size), (Rect{80, 42, 120, 58}));
    EXPECT_EQ(anchor_rect({100, 50}, anchor::right_bottom, size), (Rect{60, 34, 100, 50}));
    EXPECT_EQ(anchor_rect({100, 50}, anchor::left_center, size), (Rect{100, 42, 140, 58}));
}

}  // namespace
}  // namespace corvane
