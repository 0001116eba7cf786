// Cost of reading one received packet: a raw socket parses every answer it
// is handed, and a ping socket every reply and error-queue entry.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/icmp_packet.h"

namespace {

using namespace corvane;
using namespace corvane::platform;

std::vector<std::uint8_t> time_exceeded_packet() {
    // Outer IP (20) + ICMP 11/0 (8) + quoted IP (20) + quoted echo header (8).
    std::vector<std::uint8_t> p(56, 0);
    p[0] = 0x45;
    p[2] = 0;
    p[3] = 56;
    p[9] = 1;
    p[12] = 10, p[13] = 77, p[14] = 1, p[15] = 2;
    p[20] = 11;
    p[28] = 0x45;
    p[37] = 1;
    p[44] = 10, p[45] = 77, p[46] = 100, p[47] = 1;
    p[48] = 8;
    p[52] = 0x12, p[53] = 0x34, p[55] = 7;
    return p;
}

void BM_ParseRawTimeExceeded(benchmark::State& state) {
    const auto packet = time_exceeded_packet();
    const Ipv4Addr dest(10, 77, 100, 1);
    for (auto _ : state) {
        auto ev = parse_raw_packet(packet);
        benchmark::DoNotOptimize(ev && event_answers(*ev, dest, 0x1234, 7));
    }
}
BENCHMARK(BM_ParseRawTimeExceeded);

void BM_MakeEchoRequest(benchmark::State& state) {
    std::uint16_t seq = 0;
    for (auto _ : state) benchmark::DoNotOptimize(make_echo_request(0x1234, ++seq));
}
BENCHMARK(BM_MakeEchoRequest);

}  // namespace

BENCHMARK_MAIN();
