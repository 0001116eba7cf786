#pragma once
// The bytes of ICMP echo: building requests, reading what comes back, and
// the Windows-style status codes the engine keeps for its callers. Pure
// functions, so every parsing rule can be tried on crafted packets.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/ipv4.h"

namespace corvane::platform {

// Outcome statuses of one echo.
inline constexpr std::uint32_t kIcmpSuccess = 0;
inline constexpr std::uint32_t kIcmpNetUnreachable = 11002;
inline constexpr std::uint32_t kIcmpHostUnreachable = 11003;
inline constexpr std::uint32_t kIcmpProtocolUnreachable = 11004;
inline constexpr std::uint32_t kIcmpPortUnreachable = 11005;
inline constexpr std::uint32_t kIcmpTimedOut = 11010;
inline constexpr std::uint32_t kIcmpTtlExpired = 11013;
inline constexpr std::uint32_t kIcmpReassemblyExpired = 11014;
inline constexpr std::uint32_t kIcmpParameterProblem = 11015;
inline constexpr std::uint32_t kIcmpSourceQuench = 11016;
inline constexpr std::uint32_t kIcmpGeneralFailure = 11050;

inline constexpr std::uint8_t kIcmpEchoReply = 0;
inline constexpr std::uint8_t kIcmpUnreachable = 3;
inline constexpr std::uint8_t kIcmpEchoRequest = 8;
inline constexpr std::uint8_t kIcmpTimeExceeded = 11;

inline constexpr std::size_t kIcmpHeaderSize = 8;
inline constexpr std::size_t kEchoPayloadSize = 32;
inline constexpr std::uint8_t kEchoPayloadByte = 'J';
using EchoRequest = std::array<std::uint8_t, kIcmpHeaderSize + kEchoPayloadSize>;

// Status for an ICMP error of this type and code.
std::uint32_t status_for_icmp_error(std::uint8_t type, std::uint8_t code);
// Status for a send (or local error) that failed with this errno.
std::uint32_t status_for_errno(int err);

// RFC 1071 one's-complement sum, as stored in the header (network order bytes).
std::uint16_t internet_checksum(std::span<const std::uint8_t> bytes);

// Type 8 request with our id and sequence, 32 bytes of 'J', checksum filled.
EchoRequest make_echo_request(std::uint16_t id, std::uint16_t sequence);

// What one received message says, before deciding whether it is ours.
struct IcmpEvent {
    std::uint8_t type = 0;        // 0 for a reply, 3 or 11 for an error
    std::uint8_t code = 0;
    std::uint16_t id = 0;         // of the reply, or of the echo quoted in the error
    std::uint16_t sequence = 0;   // likewise
    Ipv4Addr from{};              // who sent it: the destination or a router
    Ipv4Addr target{};            // the address our echo went to (quoted, or = from for replies)
};

// A packet read from a raw ICMP socket, IP header first. Nothing for what is
// malformed, truncated, or neither an echo reply nor a 3/11 error quoting an
// ICMP echo request.
std::optional<IcmpEvent> parse_raw_packet(std::span<const std::uint8_t> packet);

// A datagram read from a ping socket (ICMP header first, source from the
// socket address). Nothing unless it is an echo reply.
std::optional<IcmpEvent> parse_ping_reply(std::span<const std::uint8_t> payload, Ipv4Addr from);

// An entry of a ping socket's error queue: the quoted request we sent, the
// original destination, the ICMP type/code and the router that sent it.
// Nothing unless the quote is an echo request.
std::optional<IcmpEvent> parse_ping_error(std::span<const std::uint8_t> quoted, Ipv4Addr target,
                                          std::uint8_t type, std::uint8_t code, Ipv4Addr offender);

// Whether an event answers the request just sent: it carries our id and
// sequence (a ping socket's id is the one the kernel gave it at bind, which it
// writes into every request). An error must quote a request to `dest`; a
// reply may come from another address than the one probed, and `from` says
// which.
bool event_answers(const IcmpEvent& event, Ipv4Addr dest, std::uint16_t id, std::uint16_t sequence);

// Status an event that answers our request stands for.
std::uint32_t status_for_event(const IcmpEvent& event);

}  // namespace corvane::platform
