// A watch list of many hosts pinged at the 1000 ms interval against the
// network simulator: probes per host and the CPU time the session costs, with
// Debian's fping pinging the same hosts in the same run for comparison.
//
// Root, inside the test bed: bench/watch_bench.sh (tools/in-netns). Sizes can
// be shrunk for a quick look: CORVANE_BENCH_HOSTS, CORVANE_BENCH_SECONDS.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/watch_tab.h"
#include "netsim/simulator.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

int env_int(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// 10.77.10.1 onwards, 250 to a /24: all inside the simulator's network.
std::string watch_addr(int i) {
    return "10.77." + std::to_string(10 + i / 250) + "." + std::to_string(1 + i % 250);
}

double seconds_of(const timeval& tv) { return double(tv.tv_sec) + double(tv.tv_usec) / 1e6; }
double cpu_seconds(const rusage& ru) { return seconds_of(ru.ru_utime) + seconds_of(ru.ru_stime); }

std::size_t thread_count() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
    return n;
}

// The simulator runs in a child process, so this process's CPU time is the
// watch session's alone. The child serves until the parent closes the pipe.
class SimulatorProcess {
public:
    explicit SimulatorProcess(int hosts) {
        int ready[2], hold[2];
        if (pipe(ready) != 0 || pipe(hold) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(hold[1]);
            char ok = '0';
            try {
                netsim::Simulator sim;
                for (int i = 0; i < hosts; ++i) {
                    netsim::SimDestination d;
                    d.addr = watch_addr(i);
                    d.delay_ms = 1;
                    sim.set_destination(d);
                }
                ok = '1';
                (void)!write(ready[1], &ok, 1);
                char c;
                while (read(hold[0], &c, 1) > 0) {
                }
            } catch (const std::exception& e) {
                std::fprintf(stderr, "simulator: %s\n", e.what());
                (void)!write(ready[1], &ok, 1);
            }
            _exit(0);
        }
        close(ready[1]);
        close(hold[0]);
        hold_fd_ = hold[1];
        char c = '0';
        ok_ = pid_ > 0 && read(ready[0], &c, 1) == 1 && c == '1';
        close(ready[0]);
    }
    ~SimulatorProcess() {
        if (hold_fd_ >= 0) close(hold_fd_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool ok() const { return ok_; }

private:
    pid_t pid_ = -1;
    int hold_fd_ = -1;
    bool ok_ = false;
};

struct FpingRun {
    pid_t pid = -1;
    std::filesystem::path report;
};

// fping sends to one target after another, 0.5 ms apart, so a round of 1000
// hosts fits in the 1000 ms period.
FpingRun start_fping(int hosts, int count, const std::filesystem::path& dir) {
    FpingRun run;
    run.report = dir / "fping.txt";
    std::vector<std::string> args = {"fping", "-q", "-c", std::to_string(count), "-p", "1000", "-i", "0.5"};
    for (int i = 0; i < hosts; ++i) args.push_back(watch_addr(i));
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, run.report.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawnp(&run.pid, "fping", &fa, nullptr, argv.data(), environ) != 0) run.pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return run;
}

// "10.77.10.1 : xmt/rcv/%loss = 60/60/0%, ..." per host.
std::vector<std::pair<int, int>> fping_counts(const std::filesystem::path& report) {
    std::vector<std::pair<int, int>> out;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find("xmt/rcv/%loss = ");
        if (eq == std::string::npos) continue;
        int xmt = 0, rcv = 0;
        if (std::sscanf(line.c_str() + eq + 16, "%d/%d", &xmt, &rcv) == 2) out.emplace_back(xmt, rcv);
    }
    return out;
}

void BM_WatchList(benchmark::State& state) {
    const int hosts = env_int("CORVANE_BENCH_HOSTS", 1000);
    const int seconds = env_int("CORVANE_BENCH_SECONDS", 60);
    if (geteuid() != 0 || if_nametoindex("cvsim0") == 0) {
        state.SkipWithError("needs root inside the test bed: run bench/watch_bench.sh");
        return;
    }
    char tmpl[] = "/tmp/corvane-watch-bench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path dir = tmpl;

    for (auto _ : state) {
        SimulatorProcess sim(hosts);
        if (!sim.ok()) {
            state.SkipWithError("the simulator could not start");
            break;
        }
        auto settings = std::make_shared<corvane::SharedSettings>();
        settings->set_probe_ms(1000);
        settings->set_history_dir(dir / "history");
        std::vector<corvane::WatchHost> list;
        for (int i = 0; i < hosts; ++i) list.push_back({watch_addr(i), std::nullopt});

        const std::size_t threads_before = thread_count();
        const FpingRun fping = start_fping(hosts, seconds, dir);

        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const auto t0 = std::chrono::steady_clock::now();
        corvane::WatchTab tab = corvane::new_watch_tab("bench");
        corvane::start_watch_tab(tab, settings, list);
        // Start-up (a thread, a socket and a reverse lookup per host) is
        // measured apart from the steady state that follows.
        const auto settle = std::chrono::seconds(std::min(5, seconds / 2));
        std::this_thread::sleep_until(t0 + settle);
        rusage settled{};
        getrusage(RUSAGE_SELF, &settled);
        std::this_thread::sleep_until(t0 + std::chrono::seconds(seconds));

        std::vector<std::uint32_t> sent, received;
        {
            std::lock_guard lock(tab.state->mutex);
            for (const auto& h : tab.state->state.hops) {
                sent.push_back(h.sent);
                received.push_back(h.received);
            }
        }
        getrusage(RUSAGE_SELF, &after);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        corvane::stop_watch_tab(tab);
        while (thread_count() > threads_before) std::this_thread::sleep_for(50ms);

        rusage fping_ru{};
        int fping_status = -1;
        if (fping.pid > 0) wait4(fping.pid, &fping_status, 0, &fping_ru);
        const auto fcounts = fping_counts(fping.report);

        const auto [smin, smax] = std::minmax_element(sent.begin(), sent.end());
        const auto [rmin, rmax] = std::minmax_element(received.begin(), received.end());
        const auto off_goal = std::count_if(sent.begin(), sent.end(), [&](std::uint32_t s) {
            return s + 1 < std::uint32_t(seconds) || s > std::uint32_t(seconds) + 1;
        });
        const double cpu = cpu_seconds(after) - cpu_seconds(before);
        state.counters["hosts"] = hosts;
        state.counters["probes_min"] = *smin;
        state.counters["probes_max"] = *smax;
        state.counters["replies_min"] = *rmin;
        state.counters["replies_max"] = *rmax;
        state.counters["hosts_off_goal"] = double(off_goal);
        state.counters["cpu_s"] = cpu;
        state.counters["cpu_pct_core"] = 100.0 * cpu / wall;
        state.counters["startup_cpu_s"] = cpu_seconds(settled) - cpu_seconds(before);
        state.counters["steady_cpu_pct_core"] =
            100.0 * (cpu_seconds(after) - cpu_seconds(settled)) / (wall - std::chrono::duration<double>(settle).count());
        state.counters["steady_sys_share"] =
            (seconds_of(after.ru_stime) - seconds_of(settled.ru_stime)) / (cpu_seconds(after) - cpu_seconds(settled));
        state.counters["fping_hosts"] = double(fcounts.size());
        if (!fcounts.empty()) {
            int xmin = fcounts[0].first, xmax = xmin, rcvmin = fcounts[0].second;
            for (const auto& [x, r] : fcounts) {
                xmin = std::min(xmin, x);
                xmax = std::max(xmax, x);
                rcvmin = std::min(rcvmin, r);
            }
            state.counters["fping_probes_min"] = xmin;
            state.counters["fping_probes_max"] = xmax;
            state.counters["fping_replies_min"] = rcvmin;
        }
        state.counters["fping_cpu_s"] = cpu_seconds(fping_ru);
        state.counters["fping_cpu_pct_core"] = 100.0 * cpu_seconds(fping_ru) / wall;
        state.SetIterationTime(wall);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

BENCHMARK(BM_WatchList)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
