#pragma once
// A network of simulated routers behind a TUN device. Echo requests that the
// kernel routes into the device are answered as a configured route would:
// time-exceeded from hop[TTL-1], or an echo reply from the destination, each
// its delay after the request reached the device, with seeded loss.
// Everything else sent into the device is dropped, so nothing leaves the
// machine.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace netsim {

struct SimHop {
    std::string addr;         // dotted IPv4; empty = silent hop (never answers)
    double delay_ms = 0;
    double loss_pct = 0;
    // Rate limit of this router's time-exceeded answers, like a kernel's
    // icmp_ratelimit: at most one answer per interval; 0 = unlimited.
    double rate_limit_ms = 0;
};

struct SimDestination {
    std::string addr;         // dotted IPv4, inside the device's network
    std::vector<SimHop> hops; // routers before the destination, TTL 1..n
    double delay_ms = 0;
    double loss_pct = 0;
    bool silent = false;      // the destination never answers
    bool unreachable = false; // the last hop answers "host unreachable" (3/1)
                              // (the destination itself when there are no hops)
    std::string reply_from;   // dotted IPv4 its echo replies come from; empty = addr
};

// What the simulator did with one echo request: when it reached the device
// and, when it answered, when the write of the answer returned. A round trip
// measured by the prober can be judged against this span rather than against
// the configured delay, which a busy machine stretches.
struct SimExchange {
    // The kernel's stamp of the request's hand-over to the device, where the
    // simulator may tap it (root); else when the simulator read it.
    std::chrono::steady_clock::time_point arrived;
    std::optional<std::chrono::steady_clock::time_point> answered;
};

struct SimCounters {
    std::uint64_t requests = 0;       // echo requests read from the device
    std::uint64_t echo_replies = 0;
    std::uint64_t time_exceeded = 0;
    std::uint64_t unreachable = 0;
    std::uint64_t dropped = 0;        // loss, silent hops and destinations, drop_next
    std::uint64_t rate_limited = 0;
};

class Simulator {
public:
    // Attaches to an existing, configured TUN device and serves it on a thread
    // of its own until destroyed. Throws std::runtime_error when it can't.
    explicit Simulator(const std::string& device = "cvsim0", std::uint64_t seed = 42);
    // As above; while another simulator holds the device, waits up to
    // busy_wait_ms for it (the constructor above waits kDefaultBusyWaitMs).
    Simulator(const std::string& device, std::uint64_t seed, int busy_wait_ms);
    static constexpr int kDefaultBusyWaitMs = 30'000;
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Adds a destination or replaces its route, also while running. Addresses
    // that aren't dotted IPv4 throw std::invalid_argument, here and below.
    void set_destination(const SimDestination& dest);
    void remove_destination(const std::string& addr);
    // A destination that stops or resumes answering (std::invalid_argument
    // when addr isn't configured).
    void set_destination_silent(const std::string& addr, bool silent);
    // Drops the next request to addr with this TTL (once); calls add up.
    void drop_next(const std::string& addr, std::uint8_t ttl);

    SimCounters counters() const;
    // Echo requests seen for addr with this TTL since the destination was set.
    std::uint64_t requests_seen(const std::string& addr, std::uint8_t ttl) const;
    // The latest request to addr with this echo id and sequence, among the
    // last kExchangesKept read; nothing when there is none.
    std::optional<SimExchange> exchange(const std::string& addr, std::uint16_t id, std::uint16_t sequence) const;
    static constexpr std::size_t kExchangesKept = 1 << 16;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace netsim
