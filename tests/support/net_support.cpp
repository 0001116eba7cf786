#include "support/net_support.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>

namespace corvane::test {

std::optional<std::string> netbed_missing() {
    if (::geteuid() != 0)
        return "needs root and the network test bed (tools/netbed up, then ctest -L net)";
    if (::if_nametoindex(kSimDevice) == 0)
        return "not inside the network test bed: no cvsim0 here (run tools/netbed up as root; "
               "ctest runs this suite in namespace cvclient through tools/in-netns)";
    return std::nullopt;
}

std::string sim_hop_addr(int k) { return "10.77.1." + std::to_string(k); }

std::string sim_watch_addr(int i) {
    return "10.77." + std::to_string(10 + i / 250) + "." + std::to_string(1 + i % 250);
}

netsim::SimDestination sim_route(const std::string& dest, int hops, double step_ms) {
    netsim::SimDestination d;
    d.addr = dest;
    for (int k = 1; k <= hops; ++k) d.hops.push_back({sim_hop_addr(k), step_ms * k});
    d.delay_ms = step_ms * (hops + 1);
    return d;
}

namespace {

struct SysctlSwap {
    std::optional<std::string> old;  // the value before, once the new one is set
    std::string error;
};

// Entering a namespace moves only the calling thread, so a thread of its own
// does it and ends there; /proc/sys/net shows the entering thread's namespace.
SysctlSwap swap_netns_sysctl(const std::string& netns, const std::string& key, const std::string& value) {
    SysctlSwap out;
    std::thread([&] {
        const int fd = ::open(("/run/netns/" + netns).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::setns(fd, CLONE_NEWNET) != 0) {
            out.error = "cannot enter namespace " + netns + ": " + std::strerror(errno);
            if (fd >= 0) ::close(fd);
            return;
        }
        ::close(fd);
        const std::string path = "/proc/sys/" + key;
        std::string old;
        if (std::ifstream in(path); !std::getline(in, old)) {
            out.error = "cannot read " + path + " in " + netns;
            return;
        }
        std::ofstream set(path);
        set << value << '\n';
        set.close();
        if (set.fail()) {
            out.error = "cannot write " + path + " in " + netns;
            return;
        }
        out.old = old;
    }).join();
    return out;
}

}  // namespace

ScopedNetnsSysctl::ScopedNetnsSysctl(std::string netns, std::string key, const std::string& value)
    : netns_(std::move(netns)), key_(std::move(key)) {
    SysctlSwap s = swap_netns_sysctl(netns_, key_, value);
    old_ = std::move(s.old);
    error_ = std::move(s.error);
}

ScopedNetnsSysctl::~ScopedNetnsSysctl() {
    if (!old_) return;
    const SysctlSwap s = swap_netns_sysctl(netns_, key_, *old_);
    if (!s.error.empty()) ADD_FAILURE() << "the bed is left changed: " << s.error;
}

}  // namespace corvane::test
