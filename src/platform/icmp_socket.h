#pragma once
// One ICMP echo channel over a Linux socket: an unprivileged ping socket
// where the system allows it, else a raw socket when the process may open
// one. Owned by one thread; never shared.
#include <cstdint>
#include <optional>

#include "platform/icmp_packet.h"
#include "platform/ipv4.h"

namespace corvane::platform {

enum class IcmpSocketKind { ping, raw };

struct IcmpOutcome {
    std::uint32_t status = kIcmpGeneralFailure;  // kIcmp* status
    Ipv4Addr from{};                              // who answered (on a reply or an ICMP error)
    std::uint32_t rtt_ms = 0;                     // whole milliseconds, truncated
    bool stamped = false;                         // rtt_ms from the kernel's receive stamp
    std::uint16_t sequence = 0;                   // of the request this outcome belongs to
};

class IcmpSocket {
public:
    static constexpr int kTimeoutMs = 1000;

    // Ping socket first, raw socket when that is refused; invalid when
    // neither opens (open_error() tells why the ping socket didn't).
    static IcmpSocket open();
    // Only the chosen kind.
    static IcmpSocket open(IcmpSocketKind kind);

    IcmpSocket() = default;
    ~IcmpSocket();
    IcmpSocket(IcmpSocket&& other) noexcept;
    IcmpSocket& operator=(IcmpSocket&& other) noexcept;
    IcmpSocket(const IcmpSocket&) = delete;
    IcmpSocket& operator=(const IcmpSocket&) = delete;

    bool valid() const { return fd_ >= 0; }
    IcmpSocketKind kind() const { return kind_; }
    int open_error() const { return open_errno_; }
    std::uint16_t id() const { return id_; }

    // One request with this TTL; waits for its answer at most kTimeoutMs.
    IcmpOutcome echo(Ipv4Addr dest, std::uint8_t ttl);

private:
    bool set_ttl(std::uint8_t ttl);
    // Reads what is queued without blocking; true when `out` was filled
    // with the answer to (dest, sequence).
    bool read_ping_replies(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out);
    bool read_ping_errors(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out);
    bool read_raw(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out);
    // The round trip of an answer read at `received_ns` (monotonic) with the
    // receive stamp its message carried, if any.
    void take_round_trip(IcmpOutcome& out, std::int64_t received_ns, std::optional<std::int64_t> stamp_ns) const;
    // Reading SO_ERROR clears it.
    void clear_pending_error();
    void close_fd();

    int fd_ = -1;
    IcmpSocketKind kind_ = IcmpSocketKind::ping;
    int open_errno_ = 0;
    std::uint16_t id_ = 0;
    std::uint16_t sequence_ = 0;
    int ttl_ = -1;  // the value IP_TTL holds now; -1 = not set yet
    // The last request's send time, monotonic and on the receive stamps' realtime clock.
    std::int64_t sent_ns_ = 0;
    std::int64_t sent_realtime_ns_ = 0;
};

}  // namespace corvane::platform
