#include "platform/ipv4.h"

#include <arpa/inet.h>

namespace corvane {

std::string Ipv4Addr::to_string() const {
    std::string out;
    out.reserve(15);
    for (std::size_t i = 0; i < 4; ++i) {
        if (i) out.push_back('.');
        out += std::to_string(octets[i]);
    }
    return out;
}

std::optional<Ipv4Addr> Ipv4Addr::parse(std::string_view text) {
    // inet_pton takes exactly the four-part decimal form (no octal, hex or
    // short forms), which is what a user means by an address.
    // A NUL would end the text early for inet_pton and let trailing junk pass.
    if (text.size() > 15 || text.find('\0') != std::string_view::npos) return std::nullopt;
    char buf[16] = {};
    text.copy(buf, text.size());
    in_addr a{};
    if (inet_pton(AF_INET, buf, &a) != 1) return std::nullopt;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&a.s_addr);
    return Ipv4Addr(p[0], p[1], p[2], p[3]);
}

}  // namespace corvane
