// The synthesis runs on the UI thread at every alert, so its cost is a frame
// budget matter.
#include <benchmark/benchmark.h>

#include "main/hop_verdicts.h"
#include "sound/sound_synth.h"

static void BM_BuiltinWavImage(benchmark::State& state) {
    const auto index = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(corvane::builtin_wav_image(index, 70));
}
BENCHMARK(BM_BuiltinWavImage)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

static void BM_HopVerdicts30Hops(benchmark::State& state) {
    std::vector<corvane::HopStats> hops(30);
    for (std::size_t i = 0; i < hops.size(); ++i) {
        hops[i].sent = 100;
        hops[i].received = 90 + static_cast<std::uint32_t>(i % 11);
        hops[i].rtt_sum = hops[i].received * (5 + i * 3);
    }
    for (auto _ : state) benchmark::DoNotOptimize(corvane::compute_hop_verdicts(hops));
}
BENCHMARK(BM_HopVerdicts30Hops);

BENCHMARK_MAIN();
