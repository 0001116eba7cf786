#include "support/net_support.h"

#include <net/if.h>
#include <unistd.h>

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

}  // namespace corvane::test
