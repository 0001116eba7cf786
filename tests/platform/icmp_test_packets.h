#pragma once
// Crafted raw-socket packets (IPv4 header first) for the parsing and filter tests.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/icmp_packet.h"
#include "platform/ipv4.h"

namespace corvane::test {

inline void put_u16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v >> 8);
    b[at + 1] = std::uint8_t(v);
}

// An IPv4 header of 20 + options_len bytes carrying `payload`.
inline std::vector<std::uint8_t> ip_packet(Ipv4Addr src, Ipv4Addr dst, std::uint8_t protocol,
                                           const std::vector<std::uint8_t>& payload,
                                           std::size_t options_len = 0) {
    const std::size_t ihl = 20 + options_len;
    // Sized up front: g++ 12 at -O2 mistakes an insert at the end for an
    // out-of-bounds copy.
    std::vector<std::uint8_t> b(ihl + payload.size(), 0);
    b[0] = std::uint8_t(0x40 | (ihl / 4));
    put_u16(b, 2, std::uint16_t(ihl + payload.size()));
    b[8] = 64;
    b[9] = protocol;
    for (int i = 0; i < 4; ++i) {
        b[12 + i] = src.octets[i];
        b[16 + i] = dst.octets[i];
    }
    for (std::size_t i = 20; i < ihl; ++i) b[i] = 1;  // NOP options
    std::copy(payload.begin(), payload.end(), b.begin() + std::ptrdiff_t(ihl));
    return b;
}

inline std::vector<std::uint8_t> echo_header(std::uint8_t type, std::uint16_t id, std::uint16_t seq) {
    auto req = platform::make_echo_request(id, seq);
    std::vector<std::uint8_t> b(req.begin(), req.end());
    b[0] = type;
    return b;
}

// An echo reply from `from` to `me`.
inline std::vector<std::uint8_t> raw_reply(Ipv4Addr from, Ipv4Addr me, std::uint16_t id, std::uint16_t seq,
                                           std::size_t options_len = 0) {
    return ip_packet(from, me, 1, echo_header(platform::kIcmpEchoReply, id, seq), options_len);
}

// A type/code error from `router` quoting our request to `dest` (its IP
// header and first 8 bytes, as routers do).
inline std::vector<std::uint8_t> raw_error(std::uint8_t type, std::uint8_t code, Ipv4Addr router, Ipv4Addr me,
                                           Ipv4Addr dest, std::uint16_t id, std::uint16_t seq,
                                           std::size_t outer_options = 0, std::size_t inner_options = 0,
                                           std::uint8_t inner_protocol = 1) {
    auto request = echo_header(platform::kIcmpEchoRequest, id, seq);
    request.resize(8);
    auto inner = ip_packet(me, dest, inner_protocol, request, inner_options);
    std::vector<std::uint8_t> icmp(8 + inner.size(), 0);
    icmp[0] = type;
    icmp[1] = code;
    std::copy(inner.begin(), inner.end(), icmp.begin() + 8);
    return ip_packet(router, me, 1, icmp, outer_options);
}

}  // namespace corvane::test
