#include "netsim/packet.h"

#include <arpa/inet.h>

#include <algorithm>

namespace netsim {
namespace {

constexpr std::size_t kIpHeader = 20;
constexpr std::size_t kIcmpHeader = 8;
constexpr std::uint8_t kProtoIcmp = 1;

std::uint16_t get16(std::span<const std::uint8_t> p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] << 8 | p[at + 1]);
}
std::uint32_t get32(std::span<const std::uint8_t> p, std::size_t at) {
    return std::uint32_t{p[at]} << 24 | std::uint32_t{p[at + 1]} << 16 |
           std::uint32_t{p[at + 2]} << 8 | p[at + 3];
}
void put16(std::vector<std::uint8_t>& p, std::size_t at, std::uint16_t v) {
    p[at] = static_cast<std::uint8_t>(v >> 8);
    p[at + 1] = static_cast<std::uint8_t>(v);
}
void put32(std::vector<std::uint8_t>& p, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// A packet of `icmp_len` ICMP bytes behind a plain 20-byte IP header whose
// checksum is filled; the caller fills the ICMP part and its checksum.
std::vector<std::uint8_t> ip_packet(std::uint32_t src, std::uint32_t dst, std::size_t icmp_len) {
    std::vector<std::uint8_t> p(kIpHeader + icmp_len, 0);
    p[0] = 0x45;
    put16(p, 2, static_cast<std::uint16_t>(p.size()));
    p[8] = kAnswerTtl;
    p[9] = kProtoIcmp;
    put32(p, 12, src);
    put32(p, 16, dst);
    put16(p, 10, inet_checksum(std::span(p).first(kIpHeader)));
    return p;
}

void finish_icmp(std::vector<std::uint8_t>& p) {
    put16(p, kIpHeader + 2, 0);
    put16(p, kIpHeader + 2, inet_checksum(std::span(p).subspan(kIpHeader)));
}

}  // namespace

std::uint16_t inet_checksum(std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < data.size(); i += 2) sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    if (i < data.size()) sum += static_cast<std::uint32_t>(data[i] << 8);
    while (sum >> 16) sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::optional<std::uint32_t> parse_ipv4(const std::string& text) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return std::nullopt;
    return ntohl(a.s_addr);
}

std::string format_ipv4(std::uint32_t addr) {
    in_addr a{htonl(addr)};
    char buf[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

std::optional<EchoRequest> parse_echo_request(std::span<const std::uint8_t> p) {
    if (p.size() < kIpHeader || p[0] >> 4 != 4) return std::nullopt;
    const std::size_t ihl = std::size_t{p[0] & 0x0fu} * 4;
    if (ihl < kIpHeader) return std::nullopt;
    const std::size_t total = get16(p, 2);
    // The total length must cover header and echo header and fit what we read.
    if (total < ihl + kIcmpHeader || total > p.size()) return std::nullopt;
    if (p[9] != kProtoIcmp) return std::nullopt;
    // Fragments (more-fragments flag or an offset) are not answered.
    if ((get16(p, 6) & 0x3fff) != 0) return std::nullopt;
    if (p[ihl] != 8 || p[ihl + 1] != 0) return std::nullopt;
    EchoRequest r;
    r.src = get32(p, 12);
    r.dst = get32(p, 16);
    r.ttl = p[8];
    r.id = get16(p, ihl + 4);
    r.sequence = get16(p, ihl + 6);
    r.header_len = ihl;
    return r;
}

std::vector<std::uint8_t> make_echo_reply(std::span<const std::uint8_t> request,
                                          const EchoRequest& req, std::uint32_t from) {
    const std::size_t total = get16(request, 2);
    const auto icmp = request.subspan(req.header_len, total - req.header_len);
    auto p = ip_packet(from, req.src, icmp.size());
    std::copy(icmp.begin(), icmp.end(), p.begin() + kIpHeader);
    p[kIpHeader] = 0;  // echo reply
    p[kIpHeader + 1] = 0;
    finish_icmp(p);
    return p;
}

std::vector<std::uint8_t> make_icmp_error(std::span<const std::uint8_t> request,
                                          const EchoRequest& req, std::uint32_t from,
                                          std::uint8_t type, std::uint8_t code) {
    const auto quoted = request.first(req.header_len + kIcmpHeader);
    auto p = ip_packet(from, req.src, kIcmpHeader + quoted.size());
    p[kIpHeader] = type;
    p[kIpHeader + 1] = code;
    std::copy(quoted.begin(), quoted.end(), p.begin() + kIpHeader + kIcmpHeader);
    finish_icmp(p);
    return p;
}

}  // namespace netsim
