#pragma once
// ICMP echo, name resolution and route discovery: the only places where the
// engine touches the network.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ipv4.h"

namespace corvane {

// The result of one echo. When `failed` is set the other fields mean nothing.
struct EchoReply {
    bool failed = true;
    bool reached = false;  // the destination itself answered (not a router's time-exceeded)
    Ipv4Addr addr{};       // who answered
    std::uint32_t rtt_ms = 0;
};

// Entry i is the address answering at TTL i+1, or empty for a silent hop.
// Never ends with a silent entry; at most 30 entries.
using Route = std::vector<std::optional<Ipv4Addr>>;

inline constexpr std::uint8_t kMaxRouteTtl = 30;

// One thread's ICMP echo channel. Every thread that sends echoes opens its own
// and never shares it.
class IcmpHandle {
public:
    virtual ~IcmpHandle() = default;
    virtual bool valid() const = 0;
    // One synchronous request: 32 bytes of 'J', the given TTL, 1000 ms time-out.
    virtual EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) = 0;
};

// Opens a handle through the current echo backend (the system's ICMP sockets
// unless a test installed a scripted one). Never null; check valid().
std::unique_ptr<IcmpHandle> open_icmp_handle();

// A handle on the system's ICMP sockets, whatever backend is installed.
std::unique_ptr<IcmpHandle> open_system_icmp_handle();

// Test seam: replaces how handles are made, for cases a real network can't
// produce. An empty function restores the default (test_seam_slot.h): the
// system's ICMP sockets in the program. A factory that yields nothing gets
// the default's handle.
using IcmpHandleFactory = std::function<std::unique_ptr<IcmpHandle>()>;
void set_icmp_handle_factory(IcmpHandleFactory factory);

EchoReply send_icmp_echo(IcmpHandle& handle, Ipv4Addr dest, std::uint8_t ttl);

// Dotted IPv4 text is taken as it is; an IPv6 literal or a name with no IPv4
// address gives nothing. The caller trims the text. Blocking.
std::optional<Ipv4Addr> resolve_ipv4(const std::string& target);

// The raw lookup of a name (never an address literal): its first IPv4
// address, or nothing. The system's is getaddrinfo.
using NameResolver = std::function<std::optional<Ipv4Addr>(const std::string&)>;
std::optional<Ipv4Addr> system_resolve_ipv4(const std::string& name);

// Test seam: replaces the raw lookup of names. An empty function restores
// the default (test_seam_slot.h): the system's in the program.
void set_name_resolver(NameResolver resolver);

// Echoes with TTL 1..30, one after another, until the destination answers.
// The stop flag is read before every echo; a stop gives an empty route.
Route discover_route(IcmpHandle& handle, Ipv4Addr dest, const std::atomic<bool>& stop);

}  // namespace corvane
