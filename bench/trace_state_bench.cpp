// The window copies a trace's whole state every frame; this measures that
// copy for a full-size trace (goal: at most 0.2 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "engine/monitor_state.h"

namespace corvane {
namespace {

TraceState full_trace_state() {
    TraceState state = new_monitor_state();
    state.status = "Monitoring";
    state.target_addr = Ipv4Addr(10, 77, 0, 30);
    for (std::uint8_t h = 0; h < 30; ++h) {
        HopStats hop;
        const Ipv4Addr addr(10, 77, h, 1);
        hop.addr = addr;
        hop.name = "hop-" + std::to_string(h) + ".core.backbone.example.net";
        for (std::uint32_t i = 0; i < kSampleCap + 100; ++i) {
            hop_stats_record(hop, i % 17 == 0 ? std::nullopt : std::optional<std::uint32_t>(10 + h + i % 7),
                             1'700'000'000'000 + i * 1000);
        }
        state.dns_cache[addr] = *hop.name;
        state.hops.push_back(std::move(hop));
    }
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

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
