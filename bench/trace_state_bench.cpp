// The window keeps a copy of the state on view and brings it up to date every
// frame. This measures a whole copy of a full-size trace, the refresh after a
// tab switch (everything differs), and the refresh of a 30-hop trace and of a
// 1000-host watch list fed their new samples between frames, at 60 and at 4
// frames a second.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_states.h"
#include "engine/monitor_state.h"
#include "engine/trace_copy.h"

namespace corvane {
namespace {

TraceState full_trace_state() {
    TraceState state = new_monitor_state();
    state.status = "Monitoring";
    state.target_addr = Ipv4Addr(10, 77, 0, 30);
    bench::add_full_trace_hops(state);
    for (const HopStats& hop : state.hops) state.dns_cache.edit()[*hop.addr] = *hop.name;
    for (int e = 0; e < 20; ++e) {
        RouteEvent ev;
        ev.text = "Hop " + std::to_string(e % 30 + 1) + " changed: 10.77.1.1 -> 10.77.2.1";
        if (e % 5 == 0) ev.detail = std::string(600, 'x');
        ev.time_ms = 1'700'000'000'000 + e * 60'000;
        ev.kind = RouteEventKind::RouteChange;
        state.events.push_back(std::move(ev));
    }
    return state;
}

void BM_CloneTraceState(benchmark::State& bench) {
    const TraceState source = full_trace_state();
    for (auto _ : bench) {
        TraceState copy = clone_trace_state(source);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_CloneTraceState)->Unit(benchmark::kMicrosecond);

// A tab switch: the copy kept for the last tab brought up to another state,
// which shares nothing with it, so every hop is copied (into kept blocks).
void BM_RefreshCopyFromAnotherState(benchmark::State& bench) {
    const TraceState a = full_trace_state(), b = full_trace_state();
    TraceState frame;
    TraceCopyMarks marks;
    bool flip = false;
    for (auto _ : bench) {
        refresh_trace_copy((flip = !flip) ? a : b, frame, marks);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_RefreshCopyFromAnotherState)->Unit(benchmark::kMicrosecond);

// What the window does each frame: bring its copy up to the state, whose
// probes went on since the last frame.
void refresh_fed_copy(benchmark::State& bench, TraceState source) {
    bench::ProbeFeed feed(static_cast<int>(bench.range(0)));
    TraceState frame;
    TraceCopyMarks marks;
    refresh_trace_copy(source, frame, marks);
    for (auto _ : bench) {
        bench.PauseTiming();
        feed.between_frames(source);
        bench.ResumeTiming();
        refresh_trace_copy(source, frame, marks);
        benchmark::DoNotOptimize(frame);
    }
}

void BM_RefreshTraceCopy(benchmark::State& bench) { refresh_fed_copy(bench, full_trace_state()); }
BENCHMARK(BM_RefreshTraceCopy)->ArgName("fps")->Arg(60)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_RefreshWatchListCopy(benchmark::State& bench) {
    TraceState source = new_monitor_state();
    source.status = "Watching";
    bench::add_full_watch_hosts(source, 1000);
    refresh_fed_copy(bench, std::move(source));
}
BENCHMARK(BM_RefreshWatchListCopy)->ArgName("fps")->Arg(60)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
