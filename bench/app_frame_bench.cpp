// CPU time of one frame of the window with a 30-hop trace, or a watch list of
// 1000 hosts, whose sample rings are full: the per-frame update (snapshot,
// verdicts, alerts, auto-save check) and the panels, on a headless ImGui
// context (no GPU work).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <imgui.h>
#include <unistd.h>

#include "frame_bench_support.h"
#include "main/app_update.h"
#include "ui/fonts.h"
#include "ui/theme.h"

namespace corvane {
namespace {

using frame_bench::headless_imgui;
using frame_bench::NullShell;

// A trace tab as a long-running session leaves it; no thread runs behind it.
App app_with_full_trace() {
    App app;
    app.trace_tabs.push_back(new_trace_tab("10.77.0.30"));
    TraceState& state = app.trace_tabs[0].state->state;
    state.status = "Monitoring";
    state.target_addr = Ipv4Addr(10, 77, 0, 30);
    for (std::uint8_t h = 0; h < 30; ++h) {
        HopStats hop;
        hop.addr = Ipv4Addr(10, 77, h, 1);
        hop.name = "hop-" + std::to_string(h) + ".core.backbone.example.net";
        for (std::uint32_t i = 0; i < kSampleCap + 100; ++i)
            hop_stats_record(hop, i % 17 == 0 ? std::nullopt : std::optional<std::uint32_t>(10 + h + i % 7),
                             1'700'000'000'000 + i * 1000);
        state.hops.push_back(std::move(hop));
    }
    app.maximized = false;
    // Nothing changes while measuring, so settings.ini is never written.
    app.last_saved_settings = format_settings_ini(live_settings(app));
    return app;
}

// A watch tab of 1000 hosts as a long session leaves it: full rings, the
// watch view on screen (the table draws only the rows in view, the header
// rates every host).
App app_with_big_watch_list() {
    App app = app_with_full_trace();
    WatchTab tab = new_watch_tab("Fleet");
    TraceState& state = tab.state->state;
    state.status = "Watching";
    for (std::uint32_t h = 0; h < 1000; ++h) {
        HopStats host;
        host.host = "10.78." + std::to_string(h / 250) + "." + std::to_string(h % 250 + 1);
        host.addr = Ipv4Addr(10, 78, static_cast<std::uint8_t>(h / 250), static_cast<std::uint8_t>(h % 250 + 1));
        for (std::uint32_t i = 0; i < kSampleCap; ++i)
            hop_stats_record(host, i % 23 == 0 ? std::nullopt : std::optional<std::uint32_t>(5 + h % 40 + i % 9),
                             1'700'000'000'000 + i * 1000);
        state.hops.push_back(std::move(host));
    }
    app.watch_tabs.push_back(std::move(tab));
    app.view_mode = ViewMode::Watch;
    app.last_saved_settings = format_settings_ini(live_settings(app));
    return app;
}

// settings.ini goes to a folder of our own, should anything change.
void private_settings_folder() {
    const auto dir = std::filesystem::temp_directory_path() / ("corvane_bench_" + std::to_string(::getpid()));
    ::setenv("APPDATA", dir.c_str(), 1);
}

void BM_AppUpdateOnly(benchmark::State& bench) {
    private_settings_folder();
    App app = app_with_full_trace();
    NullShell shell;
    FrameContext ctx{shell, {}, {}};
    FrameView view;
    for (auto _ : bench) {
        app_update(app, ctx, {}, view);
        benchmark::DoNotOptimize(view.verdicts);
    }
}
BENCHMARK(BM_AppUpdateOnly)->Unit(benchmark::kMillisecond);

// Whole frames of the window over the App `make_app` builds.
void run_window_frames(benchmark::State& bench, App (*make_app)()) {
    private_settings_folder();
    headless_imgui();
    AppFrame frame(make_app);
    NullShell shell;
    for (auto _ : bench) frame_bench::window_frame(frame, shell);
}

void BM_WindowFrame(benchmark::State& bench) { run_window_frames(bench, app_with_full_trace); }
BENCHMARK(BM_WindowFrame)->Unit(benchmark::kMillisecond);

void BM_WindowFrameWatch1000(benchmark::State& bench) { run_window_frames(bench, app_with_big_watch_list); }
BENCHMARK(BM_WindowFrameWatch1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
