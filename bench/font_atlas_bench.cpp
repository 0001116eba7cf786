// Baking the fonts: the whole atlas at start-up, at 1 and 2 pixels per
// point, and the rebuild that adds the glyphs of a text in another script.
// Counters: the atlas texture's width and height, and the glyphs it holds.
#include <benchmark/benchmark.h>

#include <imgui.h>

#include <string>

#include "ui/fonts.h"
#include "ui/imgui_context.h"

namespace corvane {
namespace {

void report_atlas(benchmark::State& state) {
    const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    int glyphs = 0;
    for (const ImFont* f : atlas.Fonts) glyphs += f->Glyphs.Size;
    state.counters["tex_w"] = atlas.TexWidth;
    state.counters["tex_h"] = atlas.TexHeight;
    state.counters["glyphs"] = glyphs;
}

// The context with the theme and every font, as the window makes it first.
void BM_CreateContext(benchmark::State& state) {
    const float scale = static_cast<float>(state.range(0));
    for (auto _ : state) {
        create_imgui_context(scale);
        state.PauseTiming();
        report_atlas(state);
        ImGui::DestroyContext();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateContext)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A list name in Cyrillic and Greek shown in the body and heading fonts, and
// a name with a character no installed face holds: the glyphs are noted in
// one frame and baked before the next.
void BM_AddGlyphs(benchmark::State& state) {
    const float scale = static_cast<float>(state.range(0));
    const std::string text = "Москва Ωmega Łódź Київ Θεσσαλονίκη \u2fe0";
    for (auto _ : state) {
        state.PauseTiming();
        create_imgui_context(scale);
        state.ResumeTiming();
        note_text(text, font(text_style_font(TextStyle::Body)));
        note_text(text, font({FontFamily::Semibold, 24}));
        note_text(text, font({FontFamily::Monospace, 13}));
        refresh_font_atlas(scale);
        state.PauseTiming();
        report_atlas(state);
        ImGui::DestroyContext();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddGlyphs)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
