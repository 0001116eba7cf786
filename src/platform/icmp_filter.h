#pragma once
// The classic BPF program a raw ICMP socket attaches so that the kernel
// queues only what belongs to it: echo replies with its id, and
// unreachable/time-exceeded errors quoting an ICMP echo with its id.
// Without it a raw socket sees every ICMP packet of the host and a busy
// prober drowns in other probers' traffic.
#include <cstdint>
#include <vector>

#include <linux/filter.h>

namespace corvane::platform {

// Accepting instructions return this length (the whole packet).
inline constexpr std::uint32_t kFilterAccept = 0xffff;

std::vector<sock_filter> raw_echo_filter(std::uint16_t id);

}  // namespace corvane::platform
