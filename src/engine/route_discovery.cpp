#include "engine/echo.h"

namespace corvane {

Route discover_route(IcmpHandle& handle, Ipv4Addr dest, const std::atomic<bool>& stop) {
    Route route;
    for (unsigned ttl = 1; ttl <= kMaxRouteTtl; ++ttl) {
        if (stop.load()) return {};
        const EchoReply reply = send_icmp_echo(handle, dest, std::uint8_t(ttl));
        if (reply.failed) {
            route.emplace_back();
            continue;
        }
        route.emplace_back(reply.addr);
        if (reply.reached) break;
    }
    while (!route.empty() && !route.back()) route.pop_back();
    return route;
}

}  // namespace corvane
