// The watch views count every host by its rating's kind each frame and rate
// the rows on screen in full; this measures both for a host with full sample
// rings, and the list-text parser on a large list.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/host_status.h"
#include "main/saved_lists_hosts.h"

namespace {

corvane::HopStats full_host(bool ends_down) {
    corvane::HopStats h;
    std::int64_t t = 1709647509000;
    for (std::size_t i = 0; i < corvane::kSampleCap; ++i, t += 1000) {
        const bool lost = (i % 97 == 0) || (ends_down && i + 3 >= corvane::kSampleCap);
        h.samples.push_back(lost ? corvane::kLostSample : static_cast<corvane::Sample>(20 + i % 7));
        h.sample_times.push_back(t);
        ++h.sent;
        if (!lost) {
            ++h.received;
            h.rtt_sum += 20 + i % 7;
        }
    }
    return h;
}

void BM_ClassifyUp(benchmark::State& state) {
    const corvane::HopStats h = full_host(false);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::classify_watch_host_status(h, 1709651200000));
}
BENCHMARK(BM_ClassifyUp);

void BM_ClassifyDown(benchmark::State& state) {
    const corvane::HopStats h = full_host(true);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::classify_watch_host_status(h, 1709651200000));
}
BENCHMARK(BM_ClassifyDown);

// The kind alone, as the watch header and tab strip count every host.
void BM_StatusKindUp(benchmark::State& state) {
    const corvane::HopStats h = full_host(false);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::watch_host_status_kind(h));
}
BENCHMARK(BM_StatusKindUp);

void BM_ParseHostList1000(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += "10.77." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1) + " Host number " +
                std::to_string(i) + "\n";
    }
    for (auto _ : state) benchmark::DoNotOptimize(corvane::parse_host_list(text));
}
BENCHMARK(BM_ParseHostList1000);

}  // namespace

BENCHMARK_MAIN();
