#include "platform/icmp_round_trip.h"

#include <cstring>

#include <linux/errqueue.h>

namespace corvane::platform {
namespace {

std::uint32_t whole_ms(std::int64_t ns) { return ns <= 0 ? 0 : std::uint32_t(ns / 1'000'000); }

}  // namespace

std::optional<std::int64_t> receive_stamp_ns(const msghdr& msg) {
    // CMSG_NXTHDR takes a non-const header but only reads it.
    auto& m = const_cast<msghdr&>(msg);
    for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr; c = CMSG_NXTHDR(&m, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPING) continue;
        if (c->cmsg_len < CMSG_LEN(sizeof(scm_timestamping))) continue;
        scm_timestamping ts{};
        std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
        // Entry 0 is the software stamp; zero where the kernel had none.
        if (ts.ts[0].tv_sec == 0 && ts.ts[0].tv_nsec == 0) return std::nullopt;
        return std::int64_t(ts.ts[0].tv_sec) * 1'000'000'000 + ts.ts[0].tv_nsec;
    }
    return std::nullopt;
}

RoundTrip round_trip(std::int64_t monotonic_ns, std::optional<std::int64_t> stamped_ns) {
    if (stamped_ns && *stamped_ns >= 0 && *stamped_ns <= monotonic_ns) return {whole_ms(*stamped_ns), true};
    return {whole_ms(monotonic_ns), false};
}

}  // namespace corvane::platform
