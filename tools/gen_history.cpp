// Writes a synthetic history CSV file in the format the probe threads write,
// for load and playback benchmarks and tests.
//
//   gen_history OUT.csv [--hours H] [--hops N] [--interval-ms MS] [--watch]
//                       [--disorder MS] [--seed S]
//
// Defaults: 24 hours of a 30-hop trace at 1000 ms, about 2.59 million rows.
// --disorder jitters each row's time by up to MS milliseconds so rows come
// out of time order, as they would with a clock that steps.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
    const char* out = nullptr;
    double hours = 24;
    unsigned hops = 30;
    unsigned interval_ms = 1000;
    bool watch = false;
    unsigned disorder_ms = 0;
    unsigned seed = 1;
};

bool parse_args(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--hours" && has_value) {
            o.hours = std::atof(argv[++i]);
        } else if (a == "--hops" && has_value) {
            o.hops = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--interval-ms" && has_value) {
            o.interval_ms = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--watch") {
            o.watch = true;
        } else if (a == "--disorder" && has_value) {
            o.disorder_ms = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--seed" && has_value) {
            o.seed = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (!o.out && a[0] != '-') {
            o.out = argv[i];
        } else {
            return false;
        }
    }
    return o.out && o.hops >= 1 && o.hops <= 2000 && o.interval_ms > 0;
}

void format_time(std::int64_t ms, char* out, std::size_t size) {
    const std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    const std::size_t n = std::strftime(out, size, "%Y-%m-%d %H:%M:%S", &tm);
    std::snprintf(out + n, size - n, ".%03d", static_cast<int>(ms % 1000));
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse_args(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: gen_history OUT.csv [--hours H] [--hops N] [--interval-ms MS] [--watch] "
                     "[--disorder MS] [--seed S]\n");
        return 2;
    }
    std::FILE* f = std::fopen(o.out, "w");
    if (!f) {
        std::perror(o.out);
        return 1;
    }
    static char buffer[1 << 20];
    std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
    std::fputs("time,unix_ms,target,hop,address,rtt_ms,result\n", f);

    std::mt19937_64 rng(o.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::int64_t start = 1772358312000;  // 2026-03-01 09:45:12 UTC
    const auto rounds = static_cast<std::int64_t>(o.hours * 3600000.0 / o.interval_ms);

    // Per hop: its address, base latency, loss rate; watch hosts keep their
    // address, trace hops change theirs now and then.
    struct Hop {
        std::uint32_t addr;
        double base;
        double loss;
    };
    std::vector<Hop> hops(o.hops);
    for (unsigned h = 0; h < o.hops; ++h) {
        hops[h].addr = (10u << 24) | (91u << 16) | ((h / 250) << 8) | (h % 250 + 1);
        hops[h].base = 1.0 + 2.5 * h;
        hops[h].loss = (h % 7 == 3) ? 0.3 : 0.01;
    }
    char when[40];
    char addr_text[16];
    for (std::int64_t r = 0; r < rounds; ++r) {
        const std::int64_t round_ms = start + r * o.interval_ms;
        if (!o.watch && unit(rng) < 0.0005) {
            // A route change: one hop answers from a new address from now on.
            auto& hop = hops[static_cast<std::size_t>(unit(rng) * o.hops) % o.hops];
            hop.addr ^= 0x00000100u;
        }
        for (unsigned h = 0; h < o.hops; ++h) {
            std::int64_t t = round_ms + h * 7 % o.interval_ms;
            if (o.disorder_ms) t += static_cast<std::int64_t>(unit(rng) * o.disorder_ms) - o.disorder_ms / 2;
            format_time(t, when, sizeof when);
            const bool lost = unit(rng) < hops[h].loss;
            const std::uint32_t a = hops[h].addr;
            std::snprintf(addr_text, sizeof addr_text, "%u.%u.%u.%u", a >> 24, (a >> 16) & 255, (a >> 8) & 255,
                          a & 255);
            const char* address = (lost && !o.watch) ? "" : addr_text;
            if (o.watch) {
                std::fprintf(f, "%s,%lld,host-%u.example,%u,%s,", when, static_cast<long long>(t), h + 1, h + 1,
                             address);
            } else {
                std::fprintf(f, "%s,%lld,core-gw.example.net,%u,%s,", when, static_cast<long long>(t), h + 1,
                             address);
            }
            if (lost) {
                std::fputs(",lost\n", f);
            } else {
                std::fprintf(f, "%u,ok\n", static_cast<unsigned>(hops[h].base + unit(rng) * 20.0));
            }
        }
    }
    if (std::fclose(f) != 0) {
        std::perror(o.out);
        return 1;
    }
    return 0;
}
