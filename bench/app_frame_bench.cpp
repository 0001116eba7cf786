// CPU time of one frame of the window with a 30-hop trace, or a watch list of
// 1000 hosts, whose sample rings are full: the per-frame update (snapshot,
// verdicts, alerts, auto-save check) and the panels, on a headless ImGui
// context (no GPU work). Between frames the hops or hosts get the samples
// their probes would have brought in meanwhile (each one a second), at 60
// frames a second (moving the pointer) and at 4 (the idle repaint); feeding
// them is not timed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include <imgui.h>
#include <unistd.h>

#include "bench_states.h"
#include "frame_bench_support.h"
#include "main/app_update.h"
#include "ui/frame_snapshot.h"
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
    bench::add_full_trace_hops(state);
    app.maximized = false;
    // Nothing changes while measuring, so settings.ini is never written.
    app.last_saved_settings = format_settings_ini(live_settings(app));
    return app;
}

// A watch tab of 1000 hosts as a long session leaves it, most of them up,
// the watch view on screen (the table draws only the rows in view, the
// header and the tab strip rate every host).
App app_with_big_watch_list() {
    App app = app_with_full_trace();
    WatchTab tab = new_watch_tab("Fleet");
    TraceState& state = tab.state->state;
    state.status = "Watching";
    bench::add_full_watch_hosts(state, 1000);
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

// Whole frames of the window over the App `make_app` builds; the state on
// view gets its new samples between frames.
void run_window_frames(benchmark::State& bench, App (*make_app)()) {
    private_settings_folder();
    headless_imgui();
    AppFrame frame(make_app);
    NullShell shell;
    frame_bench::window_frame(frame, shell);  // makes the App
    const App& app = *frame.app();
    const SharedTraceState& fed = app.view_mode == ViewMode::Watch ? app.watch_tabs[0].state : app.trace_tabs[0].state;
    bench::ProbeFeed feed(static_cast<int>(bench.range(0)));
    for (auto _ : bench) {
        bench.PauseTiming();
        {
            std::lock_guard lock(fed->mutex);
            feed.between_frames(fed->state);
        }
        bench.ResumeTiming();
        frame_bench::window_frame(frame, shell);
    }
}

void BM_WindowFrame(benchmark::State& bench) { run_window_frames(bench, app_with_full_trace); }
BENCHMARK(BM_WindowFrame)->ArgName("fps")->Arg(60)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_WindowFrameWatch1000(benchmark::State& bench) { run_window_frames(bench, app_with_big_watch_list); }
BENCHMARK(BM_WindowFrameWatch1000)->ArgName("fps")->Arg(60)->Arg(4)->Unit(benchmark::kMillisecond);

// The copy of each frame shown that the window keeps to show again while a
// picker blocks the frame loop: a frame of the full trace.
void BM_KeepLastFrame(benchmark::State& bench) {
    private_settings_folder();
    headless_imgui();
    AppFrame frame(app_with_full_trace);
    NullShell shell;
    for (int i = 0; i < 3; ++i) frame_bench::window_frame(frame, shell);
    const ImDrawData& data = *ImGui::GetDrawData();
    FrameSnapshot last;
    for (auto _ : bench) {
        last.keep(data);
        benchmark::DoNotOptimize(last.data());
    }
    bench.counters["vertices"] = data.TotalVtxCount;
}
BENCHMARK(BM_KeepLastFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
