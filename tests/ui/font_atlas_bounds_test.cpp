// The atlas under text in many scripts: its texture stays within the
// driver's largest texture and the memory budget, glyphs no longer drawn make
// room and come back when drawn again, what a frame shows gets room before
// what it only measures, and new text met over several frames is baked once.
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "headless_imgui.h"
#include "ui/field_glyphs.h"
#include "ui/font_faces.h"
#include "ui/fonts.h"
#include "ui/imgui_context.h"
#include "ui/text_layout.h"

namespace corvane {
namespace {

std::string utf8(char32_t c) {
    char out[5];
    return ImTextCharToUtf8(out, c);
}

// Characters beyond Latin-1 that some face here holds, so each costs texture:
// the embedded faces' Latin Extended, Greek and Cyrillic at least, and
// whatever installed faces add.
std::vector<char32_t> drawable_characters(char32_t from, char32_t to) {
    const FaceId plex = embedded_face("plex");
    std::vector<char32_t> out;
    for (char32_t c = from; c < to; ++c)
        if (face_has_glyph(plex, c) || system_face_for(c, false) != kNoFace) out.push_back(c);
    return out;
}

std::string text_of(const std::vector<char32_t>& chars, std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i < std::min(to, chars.size()); ++i) s += utf8(chars[i]);
    return s;
}

bool has_glyph(FontId id, char32_t c) { return font(id)->FindGlyphNoFallback(static_cast<ImWchar>(c)) != nullptr; }
bool shows_box(FontId id, char32_t c) { return font(id)->FindGlyph(static_cast<ImWchar>(c)) == font(id)->FallbackGlyph; }

// Draws `text` in every font, as a frame would.
void draw_everywhere(const std::string& text) {
    for (const FontId& id : font_sizes_in_use()) note_text(text, font(id));
}

// Every test here leaves the shared atlas at the default bounds.
class FontAtlasBounds : public ::testing::Test {
protected:
    void TearDown() override {
        set_atlas_limits({});
        refresh_font_atlas(1.0f);
        rebuild_fonts(1.0f);
    }
    static void expect_within(const AtlasLimits& limits, const char* when) {
        const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
        EXPECT_LE(atlas.TexWidth, limits.max_texture_side) << when;
        EXPECT_LE(atlas.TexHeight, limits.max_texture_side) << when;
        EXPECT_LE(std::int64_t{atlas.TexWidth} * atlas.TexHeight, limits.texels_per_square_scale) << when;
    }
};

TEST_F(FontAtlasBounds, AFloodOfCharactersStaysWithinTheBoundsAndDroppedGlyphsComeBack) {
    test::ensure_headless_imgui();
    const AtlasLimits limits{2048, std::int64_t{3} << 20};
    set_atlas_limits(limits);
    const FontId body = text_style_font(TextStyle::Body);
    const std::string moscow = "\u041c\u043e\u0441\u043a\u0432\u0430";  // Москва
    note_text(moscow, font(body));
    refresh_font_atlas(1.0f);
    ASSERT_TRUE(has_glyph(body, 0x041C));

    // Thousands of distinct characters in every font, a quarter per frame:
    // tens of thousands of glyphs, many times what the bounds hold.
    const std::vector<char32_t> flood = drawable_characters(0x0100, 0x3000);
    ASSERT_GT(flood.size(), 500u);
    const std::size_t quarter = flood.size() / 4 + 1;
    for (std::size_t from = 0; from < flood.size(); from += quarter) {
        const std::string text = text_of(flood, from, from + quarter);
        draw_everywhere(text);
        EXPECT_TRUE(frame_lacks_glyphs());
        refresh_font_atlas(1.0f);
        expect_within(limits, "after a quarter of the flood");
        // What was drawn last has its glyphs, those drawn first in the frame
        // first, or shows the box where no room was left; either way the
        // frame that draws it again is shown, and bakes nothing more.
        EXPECT_TRUE(has_glyph(font_sizes_in_use().front(), flood[from]));
        EXPECT_TRUE(shows_box(font_sizes_in_use().back(), flood[from + quarter / 2]));
        draw_everywhere(text);
        EXPECT_FALSE(frame_lacks_glyphs());
        EXPECT_FALSE(fonts_need_rebuild(1.0f));
        refresh_font_atlas(1.0f);
    }
    EXPECT_TRUE(shows_box(body, flood[flood.size() / 2])) << "the glyphs drawn longest ago made room";

    // The name drawn first, and not since, was dropped; drawn again, it
    // comes back.
    EXPECT_FALSE(has_glyph(body, 0x041C));
    note_text(moscow, font(body));
    EXPECT_TRUE(frame_lacks_glyphs()) << "the frame waits for the glyphs";
    refresh_font_atlas(1.0f);
    EXPECT_TRUE(has_glyph(body, 0x041C));
    EXPECT_FALSE(shows_box(body, 0x0432));
    expect_within(limits, "after the name came back");
}

TEST_F(FontAtlasBounds, WhenRoomRunsShortWhatIsShownComesBeforeWhatIsOnlyMeasured) {
    test::ensure_headless_imgui();
    set_atlas_limits({2048, std::int64_t{3} << 20});
    refresh_font_atlas(1.0f);
    const FontId body = text_style_font(TextStyle::Body), heading{FontFamily::Semibold, 14};
    // A frame measures a flood of text in every font, as the library does
    // names far below the fold, then shows a name from the flood's end and a
    // field holding the flood, from its end on, far longer than the field.
    const std::vector<char32_t> flood = drawable_characters(0x0100, 0x3000);
    const std::size_t n = flood.size();
    std::string field = text_of(flood, n - 40, n) + text_of(flood, 0, n - 40);
    test::run_frame({-1, -1}, false, [&] {
        draw_everywhere(text_of(flood, 0, n));
        paint_text(ImGui::GetWindowDrawList(), {10, 10}, anchor::left_top, text_of(flood, n - 8, n), heading,
                   rgb(255, 255, 255));
        ImGui::PushFont(font(body));
        ImGui::SetNextItemWidth(200);
        ImGui::InputText("##field", &field);
        note_single_line_field(field);
        ImGui::PopFont();
    });
    refresh_font_atlas(1.0f);
    for (std::size_t i = n - 8; i < n; ++i) {
        EXPECT_FALSE(shows_box(heading, flood[i])) << "painted " << int(flood[i]);
        EXPECT_FALSE(shows_box(body, flood[i - 32])) << "in the field " << int(flood[i - 32]);
    }
    EXPECT_TRUE(shows_box(body, flood[n / 2])) << "the flood outgrew the room";
}

TEST_F(FontAtlasBounds, ADriverWhoseLargestTextureCannotHoldTheFontsGetsThemRasteredSmaller) {
    test::ensure_headless_imgui();
    const FontId body = text_style_font(TextStyle::Body);
    const std::string text = "Corvane 10.77.100.1 \u00b7 12:05:09 PM \u2026";
    note_text("\u03a9mega", font(body));
    refresh_font_atlas(1.0f);
    const float width = text_width(text, font(body));
    const float omega = text_width("\u03a9mega", font(body));

    // At scale 2 the Latin-1 fonts alone need a texture taller than 2048.
    const AtlasLimits small{2048, AtlasLimits{}.texels_per_square_scale};
    set_atlas_limits(small);
    rebuild_fonts(2.0f);
    const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    EXPECT_LE(atlas.TexWidth, 2048);
    EXPECT_LE(atlas.TexHeight, 2048);
    EXPECT_EQ(font_scale(), 2.0f);
    EXPECT_FALSE(fonts_need_rebuild(2.0f)) << "served at the scale asked for";
    EXPECT_EQ(text_width(text, font(body)), width) << "text measures as at any scale";
    EXPECT_EQ(text_width("\u03a9mega", font(body)), omega);
    EXPECT_FALSE(shows_box(body, 0x03A9));
}

// The window's loop, a pass every 1/60 s: between frames it bakes when a
// bake is due, and a pass that baked takes no new input, so its frame draws
// what the last one did.
struct PacedWindow {
    double now = 5000.0;
    int bakes = 0;
    std::string drawn;
    // One pass; `input` is the text new input would bring on screen. True
    // when the frame is shown.
    bool pass(const std::string& input, ImFont* f) {
        if (refresh_font_atlas(1.0f, now))
            ++bakes;
        else
            drawn = input;
        note_text(drawn, f);
        const bool shown = !frame_lacks_glyphs();
        glyph_bake_wait(now);
        now += 1.0 / 60;
        return shown;
    }
};

TEST(FontAtlasPacing, NewTextMetOverSeveralFramesIsBakedOnce) {
    test::ensure_headless_imgui();
    refresh_font_atlas(1.0f);
    ImFont* f = font({FontFamily::Semibold, 19});
    // Armenian, in a font no other text here uses: new to the atlas.
    const std::vector<char32_t> chars = drawable_characters(0x0531, 0x0587);
    const std::string known = "\u00e9t\u00e9";
    PacedWindow window;
    ASSERT_TRUE(window.pass(known, f));

    // A name scrolls into view over five frames, a few letters more each.
    std::string name;
    for (int i = 0; i < 5; ++i) {
        for (std::size_t k = i; k < chars.size(); k += 5) name += utf8(chars[k]);
        EXPECT_FALSE(window.pass(name, f)) << "a frame without its glyphs is not shown";
    }
    // A frame of known text only, while the bake waits, is shown.
    EXPECT_TRUE(window.pass(known, f));
    int waited = 0;
    while (!window.pass(name, f)) ASSERT_LT(++waited, 60) << "the new text never showed";
    EXPECT_EQ(window.bakes, 1);
    for (char32_t c : chars) EXPECT_TRUE(f->FindGlyphNoFallback(static_cast<ImWchar>(c)) != nullptr) << int(c);

    // Text that keeps coming, new characters in every frame's input for two
    // seconds (a scroll through the Cyrillic block), still shows every so
    // often, and costs far fewer bakes than frames.
    const std::vector<char32_t> more = drawable_characters(0x0400, 0x0530);
    ASSERT_GE(more.size(), 120u);
    window.bakes = 0;
    int hidden_run = 0, longest_hidden_run = 0;
    for (std::size_t pass = 0, next = 0; pass < 120; ++pass) {
        const bool shown = window.pass(utf8(more[next]) + utf8(more[next + 1]), f);
        if (window.drawn.find(utf8(more[next])) != std::string::npos) ++next;  // the input was taken
        hidden_run = shown ? 0 : hidden_run + 1;
        longest_hidden_run = std::max(longest_hidden_run, hidden_run);
    }
    EXPECT_LE(longest_hidden_run, 30) << "half a second at most without a frame shown";
    EXPECT_GE(window.bakes, 4);
    EXPECT_LE(window.bakes, 12);
}

}  // namespace
}  // namespace corvane
