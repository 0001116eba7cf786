#pragma once
// IPv4/ICMP packets as the simulator reads and writes them on the TUN device
// (no packet-info header). Addresses are host-order integers here; the wire
// is big-endian.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace netsim {

std::uint16_t inet_checksum(std::span<const std::uint8_t> data);

// Dotted IPv4 text to a host-order address; nullopt for anything else.
std::optional<std::uint32_t> parse_ipv4(const std::string& text);
std::string format_ipv4(std::uint32_t addr);

// An ICMP echo request found in a packet read from the device.
struct EchoRequest {
    std::uint32_t src = 0;
    std::uint32_t dst = 0;
    std::uint8_t ttl = 0;
    std::uint16_t id = 0;
    std::uint16_t sequence = 0;
    std::size_t header_len = 0;  // the IP header's length, options included
};

// Recognises a whole (unfragmented) IPv4 ICMP echo request; anything else,
// malformed or truncated input included, gives nullopt.
std::optional<EchoRequest> parse_echo_request(std::span<const std::uint8_t> packet);

// The echo reply to a request: same id, sequence, payload, sent `from` the
// request's destination or, for a host answering from another of its
// addresses, from that one.
std::vector<std::uint8_t> make_echo_reply(std::span<const std::uint8_t> request,
                                          const EchoRequest& req, std::uint32_t from);

// An ICMP error (time-exceeded, unreachable) from `from` to the request's
// source, quoting the request's IP header and the first 8 bytes after it.
std::vector<std::uint8_t> make_icmp_error(std::span<const std::uint8_t> request,
                                          const EchoRequest& req, std::uint32_t from,
                                          std::uint8_t type, std::uint8_t code);

inline constexpr std::uint8_t kAnswerTtl = 64;

}  // namespace netsim
