#include "platform/icmp_packet.h"

#include <cerrno>

namespace corvane::platform {
namespace {

constexpr std::size_t kMinIpHeader = 20;
constexpr std::uint8_t kProtoIcmp = 1;

std::uint16_t read_u16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint16_t((b[at] << 8) | b[at + 1]);
}

Ipv4Addr read_addr(std::span<const std::uint8_t> b, std::size_t at) {
    return Ipv4Addr(b[at], b[at + 1], b[at + 2], b[at + 3]);
}

// Length of a well-formed IPv4 header at the start of `b`, or 0.
std::size_t ip_header_length(std::span<const std::uint8_t> b) {
    if (b.size() < kMinIpHeader) return 0;
    if ((b[0] >> 4) != 4) return 0;
    std::size_t ihl = std::size_t(b[0] & 0x0f) * 4;
    if (ihl < kMinIpHeader || ihl > b.size()) return 0;
    return ihl;
}

}  // namespace

std::uint32_t status_for_icmp_error(std::uint8_t type, std::uint8_t code) {
    switch (type) {
    case kIcmpTimeExceeded:
        return code == 0 ? kIcmpTtlExpired : kIcmpReassemblyExpired;
    case kIcmpUnreachable:
        switch (code) {
        case 0: case 6: case 9: case 11: return kIcmpNetUnreachable;
        case 2: return kIcmpProtocolUnreachable;
        case 3: return kIcmpPortUnreachable;
        default: return kIcmpHostUnreachable;
        }
    case 4: return kIcmpSourceQuench;
    case 12: return kIcmpParameterProblem;
    default: return kIcmpGeneralFailure;
    }
}

std::uint32_t status_for_errno(int err) {
    switch (err) {
    case ENETUNREACH: return kIcmpNetUnreachable;
    case EHOSTUNREACH: return kIcmpHostUnreachable;
    default: return kIcmpGeneralFailure;
    }
}

std::uint16_t internet_checksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) sum += std::uint32_t((bytes[i] << 8) | bytes[i + 1]);
    if (i < bytes.size()) sum += std::uint32_t(bytes[i] << 8);
    while (sum >> 16) sum = (sum & 0xffff) + (sum >> 16);
    return std::uint16_t(~sum);
}

EchoRequest make_echo_request(std::uint16_t id, std::uint16_t sequence) {
    EchoRequest req{};
    req[0] = kIcmpEchoRequest;
    req[4] = std::uint8_t(id >> 8);
    req[5] = std::uint8_t(id);
    req[6] = std::uint8_t(sequence >> 8);
    req[7] = std::uint8_t(sequence);
    for (std::size_t i = kIcmpHeaderSize; i < req.size(); ++i) req[i] = kEchoPayloadByte;
    const std::uint16_t sum = internet_checksum(req);
    req[2] = std::uint8_t(sum >> 8);
    req[3] = std::uint8_t(sum);
    return req;
}

std::optional<IcmpEvent> parse_raw_packet(std::span<const std::uint8_t> packet) {
    const std::size_t ihl = ip_header_length(packet);
    if (ihl == 0 || packet[9] != kProtoIcmp) return std::nullopt;
    // Trust the IP total length only to shorten what we read, never to lengthen it.
    const std::size_t total = read_u16(packet, 2);
    if (total < ihl + kIcmpHeaderSize) return std::nullopt;
    if (total < packet.size()) packet = packet.first(total);
    if (packet.size() < ihl + kIcmpHeaderSize) return std::nullopt;

    const auto icmp = packet.subspan(ihl);
    IcmpEvent ev;
    ev.type = icmp[0];
    ev.code = icmp[1];
    ev.from = read_addr(packet, 12);

    if (ev.type == kIcmpEchoReply) {
        ev.id = read_u16(icmp, 4);
        ev.sequence = read_u16(icmp, 6);
        ev.target = ev.from;
        return ev;
    }
    if (ev.type != kIcmpUnreachable && ev.type != kIcmpTimeExceeded) return std::nullopt;

    // The quoted datagram: the IP header of our request and its first 8 bytes.
    const auto inner = icmp.subspan(kIcmpHeaderSize);
    const std::size_t inner_ihl = ip_header_length(inner);
    if (inner_ihl == 0 || inner[9] != kProtoIcmp) return std::nullopt;
    if (inner.size() < inner_ihl + kIcmpHeaderSize) return std::nullopt;
    const auto quoted = inner.subspan(inner_ihl);
    if (quoted[0] != kIcmpEchoRequest) return std::nullopt;
    ev.id = read_u16(quoted, 4);
    ev.sequence = read_u16(quoted, 6);
    ev.target = read_addr(inner, 16);
    return ev;
}

std::optional<IcmpEvent> parse_ping_reply(std::span<const std::uint8_t> payload, Ipv4Addr from) {
    if (payload.size() < kIcmpHeaderSize || payload[0] != kIcmpEchoReply) return std::nullopt;
    IcmpEvent ev;
    ev.type = kIcmpEchoReply;
    ev.code = payload[1];
    ev.id = read_u16(payload, 4);
    ev.sequence = read_u16(payload, 6);
    ev.from = from;
    ev.target = from;
    return ev;
}

std::optional<IcmpEvent> parse_ping_error(std::span<const std::uint8_t> quoted, Ipv4Addr target,
                                          std::uint8_t type, std::uint8_t code, Ipv4Addr offender) {
    if (quoted.size() < kIcmpHeaderSize || quoted[0] != kIcmpEchoRequest) return std::nullopt;
    IcmpEvent ev;
    ev.type = type;
    ev.code = code;
    ev.id = read_u16(quoted, 4);
    ev.sequence = read_u16(quoted, 6);
    ev.from = offender;
    ev.target = target;
    return ev;
}

bool event_answers(const IcmpEvent& event, Ipv4Addr dest, std::uint16_t id, std::uint16_t sequence) {
    if (event.id != id || event.sequence != sequence) return false;
    if (event.type == kIcmpEchoReply) return true;
    return event.type != kIcmpEchoRequest && event.target == dest;
}

std::uint32_t status_for_event(const IcmpEvent& event) {
    if (event.type == kIcmpEchoReply) return kIcmpSuccess;
    return status_for_icmp_error(event.type, event.code);
}

}  // namespace corvane::platform
