// Loading and playing back a day-long recording.
//
//   replay_load_bench [benchmark flags]
//
// The recording is $CORVANE_REPLAY_FILE, or /tmp/corvane-replay-bench.csv,
// written by tools/gen_history (24 h, 30 hops, 1 s) when missing; pass
// CORVANE_GEN_HISTORY=path/to/gen_history to make it. In one run it times
// `wc -l` on the file and our load of it, the load's peak memory (in a fresh
// child process), a seek back and one playback step at 600x.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "engine/reverse_lookup.h"
#include "replay/history_loader.h"
#include "replay/history_reader.h"
#include "replay/replay_playback.h"

extern char** environ;

namespace {

using namespace corvane;

std::string g_self;
std::string g_file;

int run_and_wait(std::vector<std::string> args, bool quiet) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (quiet) posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long vm_hwm_kib() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

double file_size() {
    struct stat st {};
    return ::stat(g_file.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
}

std::unique_ptr<ReplaySession> load_or_die() {
    auto r = open_history_recording(g_file);
    if (auto* banner = std::get_if<std::string>(&r)) {
        std::fprintf(stderr, "%s\n", banner->c_str());
        std::exit(1);
    }
    return std::move(std::get<std::unique_ptr<ReplaySession>>(r));
}

void BM_WcL(benchmark::State& state) {
    for (auto _ : state) run_and_wait({"wc", "-l", g_file}, true);
    state.counters["MB"] = file_size() / 1e6;
}
BENCHMARK(BM_WcL)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_Load(benchmark::State& state) {
    for (auto _ : state) {
        auto s = load_or_die();
        benchmark::DoNotOptimize(s);
    }
    state.counters["rows"] = static_cast<double>(load_or_die()->samples.size());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Parsing, sorting and marking alone, from bytes already in memory: free of
// the page cache's and the allocator's noise, for comparing parser changes.
void BM_ParseInMemory(benchmark::State& state) {
    std::ifstream in(g_file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        auto r = parse_history_text(text, false, g_file);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseInMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Peak resident memory of a fresh process that does nothing but the load.
void BM_LoadPeakMemory(benchmark::State& state) {
    double peak = 0;
    for (auto _ : state) {
        char tmpl[] = "/tmp/replay-peak-XXXXXX";
        const int fd = mkstemp(tmpl);
        close(fd);
        run_and_wait({g_self, "--peak-child", tmpl}, true);
        std::ifstream in(tmpl);
        long before = 0, after = 0;
        in >> before >> after;
        std::remove(tmpl);
        peak = static_cast<double>(after) * 1024.0;
        state.counters["base_MB"] = static_cast<double>(before) * 1024.0 / 1e6;
    }
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_x_file"] = peak / file_size();
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SeekBackward(benchmark::State& state) {
    auto s = load_or_die();
    const double span = static_cast<double>(s->end_ms - s->start_ms);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> frac(0.05, 0.70);
    const double far = static_cast<double>(s->start_ms) + span * 0.75;
    replay_seek(*s, far);
    for (auto _ : state) {
        replay_seek(*s, static_cast<double>(s->start_ms) + span * frac(rng));
        state.PauseTiming();
        replay_seek(*s, far);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SeekBackward)->Unit(benchmark::kMicrosecond);

void BM_Step600(benchmark::State& state) {
    auto s = load_or_die();
    s->speed = 600;
    s->playing = true;
    PlaybackFrame frame{std::chrono::steady_clock::now()};
    playback_clock_step(*s, frame);  // sets the tick
    for (auto _ : state) {
        frame.now += std::chrono::milliseconds(250);  // the longest step a frame may take
        playback_clock_step(*s, frame);
        if (!s->playing) {
            state.PauseTiming();
            replay_seek(*s, static_cast<double>(s->start_ms));
            s->playing = true;
            playback_clock_step(*s, frame);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_Step600)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Playback asks for host names; a bench must never reach the resolver.
    set_reverse_resolver([](Ipv4Addr) { return std::optional<std::string>(); });
    g_self = argv[0];
    const char* env = std::getenv("CORVANE_REPLAY_FILE");
    g_file = env ? env : "/tmp/corvane-replay-bench.csv";

    if (argc == 3 && std::string(argv[1]) == "--peak-child") {
        const long before = vm_hwm_kib();
        {
            auto s = load_or_die();
            benchmark::DoNotOptimize(s);
        }
        std::ofstream(argv[2]) << before << ' ' << vm_hwm_kib() << '\n';
        return 0;
    }
    if (access(g_file.c_str(), R_OK) != 0) {
        const char* gen = std::getenv("CORVANE_GEN_HISTORY");
        if (!gen || run_and_wait({gen, g_file}, false) != 0) {
            std::fprintf(stderr, "no recording at %s; set CORVANE_GEN_HISTORY to tools/gen_history\n",
                         g_file.c_str());
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
