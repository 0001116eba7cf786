// The window copies the state on view every frame; this measures that copy
// for a full-size trace (goal: at most 0.2 ms), and for a watch list of 1000
// hosts fed its new samples between copies, at 60 and at 4 frames a second.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_states.h"
#include "engine/monitor_state.h"

namespace corvane {
namespace {

TraceState full_trace_state() {
    TraceState state = new_monitor_state();
    state.status = "Monitoring";
    state.target_addr = Ipv4Addr(10, 77, 0, 30);
    bench::add_full_trace_hops(state);
    for (const HopStats& hop : state.hops) state.dns_cache[*hop.addr] = *hop.name;
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

// A fresh copy replacing the previous frame's.
void BM_CloneTraceStateReplacingLastFrame(benchmark::State& bench) {
    const TraceState source = full_trace_state();
    TraceState frame = clone_trace_state(source);
    for (auto _ : bench) {
        frame = clone_trace_state(source);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_CloneTraceStateReplacingLastFrame)->Unit(benchmark::kMicrosecond);

// What the window does: copy into the snapshot it kept from the last frame.
void BM_CloneTraceStateIntoLastFrame(benchmark::State& bench) {
    const TraceState source = full_trace_state();
    TraceState frame = clone_trace_state(source);
    for (auto _ : bench) {
        clone_trace_state_into(source, frame);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_CloneTraceStateIntoLastFrame)->Unit(benchmark::kMicrosecond);

// The watch view's copy of a 1000-host list whose probes go on between frames.
void BM_CopyWatchListIntoLastFrame(benchmark::State& bench) {
    TraceState source = new_monitor_state();
    source.status = "Watching";
    bench::add_full_watch_hosts(source, 1000);
    bench::ProbeFeed feed(static_cast<int>(bench.range(0)));
    TraceState frame;
    clone_trace_state_into(source, frame);
    for (auto _ : bench) {
        bench.PauseTiming();
        feed.between_frames(source);
        bench.ResumeTiming();
        clone_trace_state_into(source, frame);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_CopyWatchListIntoLastFrame)->ArgName("fps")->Arg(60)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
