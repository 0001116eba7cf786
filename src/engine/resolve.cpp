#include <cstring>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <utility>

#include "engine/echo.h"
#include "engine/test_seam_slot.h"

namespace corvane {

std::optional<Ipv4Addr> resolve_ipv4(const std::string& target) {
    if (auto literal = Ipv4Addr::parse(target)) return literal;
    // The resolver would read only up to a NUL, i.e. look up another name.
    if (target.empty() || target.find('\0') != std::string::npos) return std::nullopt;
    in6_addr v6{};
    if (inet_pton(AF_INET6, target.c_str(), &v6) == 1) return std::nullopt;
    const NameResolver resolver = SeamSlot<NameResolver>::instance().get();
    return resolver ? resolver(target) : system_resolve_ipv4(target);
}

void set_name_resolver(NameResolver resolver) { SeamSlot<NameResolver>::instance().set(std::move(resolver)); }

std::optional<Ipv4Addr> system_resolve_ipv4(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0) return std::nullopt;
    std::optional<Ipv4Addr> found;
    for (const addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || ai->ai_addr == nullptr || ai->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in sa{};
        std::memcpy(&sa, ai->ai_addr, sizeof sa);
        const auto* p = reinterpret_cast<const std::uint8_t*>(&sa.sin_addr.s_addr);
        found = Ipv4Addr(p[0], p[1], p[2], p[3]);
        break;
    }
    freeaddrinfo(list);
    return found;
}

}  // namespace corvane
