// What text in many scripts costs the window: its real frames on a headless
// ImGui context at 1 and 2 pixels per point, run as the window's loop runs
// them. A pass at most every 1/60 s; between frames the glyphs noted are
// baked when due (a pass that bakes takes no new input, so it draws what the
// bake was for), the texture is handed over (a copy stands in for the
// driver's, which Mesa's software driver keeps in the process) and the
// build's buffers are freed; a frame that lacks glyphs is not shown.
//
// Scenarios, with the characters CJK when an installed face holds them, else
// every character beyond Latin-1 the embedded and installed faces hold:
// - Library: 345 saved lists, each name 83 distinct characters (28.6k in all),
//   scrolled to the end with the wheel, a notch a frame.
// - Target: a start with a 28.6k-character target saved (those names as one
//   text) in the target field.
// - Watch: a watch list of 250 hosts, each labelled with 16 characters of
//   16 scripts, scrolled to the end.
//
// Counters: passes, bakes, frames not shown; the worst and the median pass
// (bake and frame, wall time; no GPU work); RSS at the start, its peak and at
// the end, in MB; the atlas texture's size at the end.
#include <benchmark/benchmark.h>

#include <imgui.h>
#include <imgui_internal.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_states.h"
#include "frame_bench_support.h"
#include "main/app_update.h"
#include "main/saved_lists.h"
#include "ui/font_faces.h"
#include "ui/fonts.h"
#include "ui/ui_memory.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---- How the window's loop drives the atlas (in one place, so the same
// scenarios can be run over another version of the loop). ----
struct Loop {
    float scale;
    void start() const { create_imgui_context(scale); }
    // Between frames, before new input is taken: a due bake.
    bool bake_before_input(double now) const { return refresh_font_atlas(scale, now); }
    // After new input: only a new scale bakes, and the scale never changes here.
    bool bake_after_input(double) const { return false; }
    // After the frame: a negative number when it is shown, else the seconds
    // the loop waits for input before its next pass.
    double after_frame(double now) const {
        const double wait = glyph_bake_wait(now);
        return frame_lacks_glyphs() ? wait : -1.0;
    }
    static void after_upload() { malloc_trim(0); }
};
// ---- End of the loop's driving. ----

std::string utf8(char32_t c) {
    char out[5];
    return ImTextCharToUtf8(out, c);
}

// The characters the scenarios draw: CJK first when a face holds it.
const std::vector<char32_t>& characters() {
    static const std::vector<char32_t> chars = [] {
        const FaceId plex = embedded_face("plex");
        std::vector<char32_t> cjk, other;
        for (char32_t c = 0x3400; c < 0xA000; ++c)
            if (system_face_for(c, false) != kNoFace) cjk.push_back(c);
        for (char32_t c = 0x0100; c < 0x3400; ++c)
            if (face_has_glyph(plex, c) || system_face_for(c, false) != kNoFace) other.push_back(c);
        cjk.insert(cjk.end(), other.begin(), other.end());
        return cjk;
    }();
    return chars;
}

constexpr int kLists = 345, kNameLength = 83;

std::string list_name(int i) {
    const std::vector<char32_t>& chars = characters();
    std::string name;
    for (int k = 0; k < kNameLength; ++k) name += utf8(chars[(static_cast<std::size_t>(i) * kNameLength + k) % chars.size()]);
    return name;
}

// APPDATA holds the 345 lists, in a folder of this process's own.
void make_list_folder() {
    static const bool made = [] {
        const fs::path dir = fs::temp_directory_path() / ("corvane_glyph_bench_" + std::to_string(::getpid()));
        ::setenv("APPDATA", dir.c_str(), 1);
        fs::create_directories(lists_dir());
        for (int i = 0; i < kLists; ++i) std::ofstream(lists_dir() / (list_name(i) + ".txt")) << "10.0.0.1\n";
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::temp_directory_path() / ("corvane_glyph_bench_" + std::to_string(::getpid())), ec);
        });
        return true;
    }();
    (void)made;
}

App settled(App app) {
    app.maximized = false;
    app.last_saved_settings = format_settings_ini(live_settings(app));
    return app;
}

App app_showing_library() {
    App app;
    app.trace_tabs.push_back(new_trace_tab(std::string()));
    app.view_mode = ViewMode::Watch;  // no watch tab open: the library fills the page
    app.saved_list_names = list_saved_list_files();
    return settled(std::move(app));
}

App app_with_long_target() {
    std::string target;
    for (int i = 0; i < kLists; ++i) target += list_name(i);
    App app;
    app.trace_tabs.push_back(new_trace_tab(target));
    return settled(std::move(app));
}

App app_watching_labelled_hosts() {
    App app;
    app.trace_tabs.push_back(new_trace_tab(std::string()));
    WatchTab tab = new_watch_tab("Fleet");
    TraceState& state = tab.state->state;
    state.status = "Watching";
    bench::add_full_watch_hosts(state, 250);
    const std::vector<char32_t>& chars = characters();
    const std::size_t stride = chars.size() / 16;
    for (std::size_t h = 0; h < state.hops.size(); ++h) {
        std::string label;
        for (std::size_t k = 0; k < 16; ++k) label += utf8(chars[(k * stride + h) % chars.size()]);
        state.hops[h].label = label;
    }
    app.watch_tabs.push_back(std::move(tab));
    app.view_mode = ViewMode::Watch;
    return settled(std::move(app));
}

double rss_mb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::strtod(line.c_str() + std::char_traits<char>::length(field), nullptr) / 1024.0;
    return 0.0;
}

void reset_peak_rss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Runs the window over `make_app` for `notches` wheel notches with the
// pointer at `pointer` (then until a frame is shown), and reports.
void run_window(benchmark::State& bench, App (*make_app)(), int notches, ImVec2 pointer) {
    const Loop loop{static_cast<float>(bench.range(0))};
    make_list_folder();  // settings, should anything change, go there too
    characters();
    for (auto _ : bench) {
        if (ImGui::GetCurrentContext() != nullptr) ImGui::DestroyContext();
        ui_memory() = UiMemory{};  // no scroll offset left from the run before
        malloc_trim(0);
        reset_peak_rss();
        const double rss_start = rss_mb("VmRSS:");
        const Clock::time_point t0 = Clock::now();
        const auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - t0).count(); };

        loop.start();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(1400, 880);
        io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
        std::vector<unsigned char> texture;  // the driver's copy
        const auto upload = [&] {
            unsigned char* pixels = nullptr;
            int w = 0, h = 0;
            io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
            texture.assign(pixels, pixels + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
            io.Fonts->ClearTexData();
        };
        upload();
        AppFrame frame(make_app);
        frame_bench::NullShell shell;
        std::vector<double> passes;
        int bakes = 0, hidden = 0, taken = 0;
        bool shown = false;
        // The wheel turns a notch every 1/60 s until `notches`; a pass takes
        // the notches that came since the last one that took input.
        const double notch_period = 1.0 / 60;
        while (taken < notches || !shown) {
            const Clock::time_point start = Clock::now();
            bool baked = loop.bake_before_input(seconds());
            if (!baked) {
                const int came = std::min(notches, static_cast<int>(seconds() / notch_period) + 1) - taken;
                io.MousePos = pointer;
                io.MouseWheel = -static_cast<float>(came);
                taken += came;
                baked = loop.bake_after_input(seconds());
            }
            if (baked) {
                ++bakes;
                upload();
                Loop::after_upload();
            }
            io.DeltaTime = 1.0f / 60.0f;
            frame_bench::window_frame(frame, shell);
            const double wait = loop.after_frame(seconds());
            shown = wait < 0.0;
            hidden += shown ? 0 : 1;
            const std::chrono::duration<double> took = Clock::now() - start;
            passes.push_back(took.count() * 1000.0);
            // A shown frame waits for the display's next refresh; a hidden
            // one for the bake or the next input.
            double next = shown ? std::chrono::duration<double>(start - t0).count() + notch_period : seconds() + wait;
            if (!shown && taken < notches) next = std::min(next, taken * notch_period);
            std::this_thread::sleep_until(t0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(next)));
            if (passes.size() > 20000) break;  // something never settles: report what it did
        }
        std::sort(passes.begin(), passes.end());
        bench.counters["passes"] = static_cast<double>(passes.size());
        bench.counters["bakes"] = bakes;
        bench.counters["hidden"] = hidden;
        bench.counters["worst_ms"] = passes.back();
        bench.counters["median_ms"] = passes[passes.size() / 2];
        bench.counters["rss_start_MB"] = rss_start;
        bench.counters["rss_peak_MB"] = rss_mb("VmHWM:");
        bench.counters["rss_end_MB"] = rss_mb("VmRSS:");
        bench.counters["tex_w"] = io.Fonts->TexWidth;
        bench.counters["tex_h"] = io.Fonts->TexHeight;
        bench.counters["chars"] = static_cast<double>(characters().size());
    }
}

void BM_LibraryOf345LongNames(benchmark::State& bench) {
    run_window(bench, app_showing_library, 400, ImVec2(700, 450));
}
BENCHMARK(BM_LibraryOf345LongNames)->ArgName("scale")->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_StartWithLongTarget(benchmark::State& bench) {
    run_window(bench, app_with_long_target, 0, ImVec2(700, 500));
}
BENCHMARK(BM_StartWithLongTarget)->ArgName("scale")->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Watch250LabelledHosts(benchmark::State& bench) {
    run_window(bench, app_watching_labelled_hosts, 300, ImVec2(700, 450));
}
BENCHMARK(BM_Watch250LabelledHosts)->ArgName("scale")->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
