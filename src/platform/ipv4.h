#pragma once
// An IPv4 address as four octets in network order; the only address kind
// Corvane deals in.
#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct Ipv4Addr {
    std::array<std::uint8_t, 4> octets{};

    constexpr Ipv4Addr() = default;
    constexpr Ipv4Addr(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) : octets{a, b, c, d} {}

    // Host-order 32-bit value, e.g. 10.0.0.1 -> 0x0A000001.
    constexpr std::uint32_t to_u32() const {
        return (std::uint32_t(octets[0]) << 24) | (std::uint32_t(octets[1]) << 16) |
               (std::uint32_t(octets[2]) << 8) | std::uint32_t(octets[3]);
    }
    static constexpr Ipv4Addr from_u32(std::uint32_t v) {
        return Ipv4Addr(std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v));
    }

    // Dotted decimal, "192.168.1.1".
    std::string to_string() const;
    // Strict dotted decimal: four decimal parts 0-255, nothing else.
    static std::optional<Ipv4Addr> parse(std::string_view text);

    friend constexpr auto operator<=>(const Ipv4Addr&, const Ipv4Addr&) = default;
};

}  // namespace corvane

template <>
struct std::hash<corvane::Ipv4Addr> {
    std::size_t operator()(const corvane::Ipv4Addr& a) const noexcept { return std::hash<std::uint32_t>{}(a.to_u32()); }
};
