#include "engine/route_recheck.h"

#include <algorithm>

namespace corvane {
namespace {

// What the current route says answers at index i: its own entry, the target
// past the end of a route that reaches it, otherwise nothing.
std::optional<Ipv4Addr> expected_answer(const Route& current, std::size_t i, Ipv4Addr target) {
    if (i < current.size()) return current[i];
    if (!current.empty() && current.back() == target) return target;
    return std::nullopt;
}

}  // namespace

bool lost_answers_explain(const Route& current, const Route& fresh, Ipv4Addr target) {
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        if (fresh[i] && fresh[i] != expected_answer(current, i, target)) return false;
    }
    return true;
}

Route recheck_route(IcmpHandle& handle, Ipv4Addr target, const std::atomic<bool>& stop, const Route& current) {
    Route fresh = discover_route(handle, target, stop);
    if (fresh.empty() || fresh.size() == current.size() || !lost_answers_explain(current, fresh, target)) {
        return fresh;
    }
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (!current[i] || (i < fresh.size() && fresh[i])) continue;
        for (int n = 0; n < kSilenceRechecks; ++n) {
            if (stop.load()) return {};
            const EchoReply reply = send_icmp_echo(handle, target, static_cast<std::uint8_t>(i + 1));
            if (reply.failed) continue;
            // Whoever answers here stands at this time-to-live, and the route
            // ends where the destination answers.
            fresh.resize(reply.reached ? i + 1 : std::max(fresh.size(), i + 1));
            fresh[i] = reply.addr;
            if (reply.reached) return fresh;
            break;
        }
    }
    while (!fresh.empty() && !fresh.back()) fresh.pop_back();
    return fresh;
}

}  // namespace corvane
