// netsim: serves a TUN device from a text configuration, for trying things by
// hand inside the test bed:
//
//   ip netns exec cvclient netsim ROUTES.conf [--device cvsim0] [--seed 42] [--lifetime 600]
//
// SIGHUP re-reads the configuration; SIGTERM or SIGINT ends it, as does the
// lifetime (seconds) running out. It prints its counters when it ends.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "netsim/config.h"
#include "netsim/simulator.h"

namespace {

std::vector<netsim::SimDestination> load(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("netsim: can't read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return netsim::parse_config(text.str());
}

// Replaces the simulator's routes with the file's.
void apply(netsim::Simulator& sim, const std::vector<netsim::SimDestination>& routes,
           std::set<std::string>& current) {
    std::set<std::string> next;
    for (const auto& d : routes) {
        sim.set_destination(d);
        next.insert(d.addr);
    }
    for (const auto& addr : current)
        if (!next.count(addr)) sim.remove_destination(addr);
    current = std::move(next);
}

int usage() {
    std::fprintf(stderr, "usage: netsim CONFIG [--device NAME] [--seed N] [--lifetime SECONDS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string config = argv[1], device = "cvsim0";
    unsigned long long seed = 42;
    long lifetime = 600;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--device") device = argv[i + 1];
        else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (opt == "--lifetime") lifetime = std::strtol(argv[i + 1], nullptr, 10);
        else return usage();
    }
    if (argc % 2 != 0 || lifetime <= 0) return usage();

    // Signals are taken only in sigtimedwait below; the simulator's thread
    // starts with them blocked too.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, nullptr);

    try {
        netsim::Simulator sim(device, seed);
        std::set<std::string> current;
        apply(sim, load(config), current);
        std::fprintf(stderr, "netsim: serving %s with %zu destinations\n", device.c_str(), current.size());
        timespec end;
        clock_gettime(CLOCK_MONOTONIC, &end);
        end.tv_sec += lifetime;
        for (;;) {
            timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            if (now.tv_sec > end.tv_sec || (now.tv_sec == end.tv_sec && now.tv_nsec >= end.tv_nsec)) break;
            timespec left{end.tv_sec - now.tv_sec, end.tv_nsec - now.tv_nsec};
            if (left.tv_nsec < 0) {
                left.tv_nsec += 1'000'000'000;
                --left.tv_sec;
            }
            const int sig = sigtimedwait(&set, nullptr, &left);
            if (sig == SIGHUP) {
                try {
                    apply(sim, load(config), current);
                    std::fprintf(stderr, "netsim: reloaded, %zu destinations\n", current.size());
                } catch (const std::exception& e) {
                    // A broken edit keeps the routes that were running.
                    std::fprintf(stderr, "%s (keeping the old routes)\n", e.what());
                }
            } else if (sig == SIGTERM || sig == SIGINT) {
                break;
            }
        }
        const auto c = sim.counters();
        std::printf("requests %llu echo_replies %llu time_exceeded %llu unreachable %llu dropped %llu rate_limited %llu\n",
                    static_cast<unsigned long long>(c.requests), static_cast<unsigned long long>(c.echo_replies),
                    static_cast<unsigned long long>(c.time_exceeded), static_cast<unsigned long long>(c.unreachable),
                    static_cast<unsigned long long>(c.dropped), static_cast<unsigned long long>(c.rate_limited));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
