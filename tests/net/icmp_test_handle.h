#pragma once
// Echo handles over a chosen socket kind, so the network tests cover both the
// ping socket and the raw-socket fallback whatever the process could open.
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/echo.h"
#include "netsim/simulator.h"
#include "platform/icmp_socket.h"

namespace corvane::test {

inline const char* kind_name(platform::IcmpSocketKind kind) {
    return kind == platform::IcmpSocketKind::ping ? "ping" : "raw";
}

// Same outcome mapping as the engine's own handle.
class KindHandle final : public IcmpHandle {
public:
    explicit KindHandle(platform::IcmpSocketKind kind) : socket_(platform::IcmpSocket::open(kind)) {}
    bool valid() const override { return socket_.valid(); }
    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) override {
        const auto out = socket_.echo(dest, ttl);
        EchoReply r;
        if (out.status != platform::kIcmpSuccess && out.status != platform::kIcmpTtlExpired) return r;
        r.failed = false;
        r.reached = out.status == platform::kIcmpSuccess;
        r.addr = out.from;
        r.rtt_ms = out.rtt_ms;
        return r;
    }
    platform::IcmpSocket& socket() { return socket_; }

private:
    platform::IcmpSocket socket_;
};

inline Ipv4Addr addr(const std::string& text) {
    auto a = Ipv4Addr::parse(text);
    if (!a) throw std::invalid_argument("not an address: " + text);
    return *a;
}

// The simulator's device takes one attachment at a time, and other test
// runs on the same machine may hold it for a while: wait for it. Right after
// the attachment the kernel may still drop what it sends into the device
// (its queue comes up asynchronously), so also wait until a probe to a
// scratch destination is answered.
inline constexpr char kWarmUpDest[] = "10.77.254.1";

inline std::unique_ptr<netsim::Simulator> attach_simulator() {
    std::unique_ptr<netsim::Simulator> sim;
    for (int attempt = 0; !sim; ++attempt) {
        try {
            sim = std::make_unique<netsim::Simulator>();
        } catch (const std::runtime_error&) {
            if (attempt >= 600) throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    netsim::SimDestination scratch;
    scratch.addr = kWarmUpDest;
    sim->set_destination(scratch);
    auto probe = platform::IcmpSocket::open();
    for (int i = 0; i < 5 && probe.echo(addr(kWarmUpDest), 64).status != platform::kIcmpSuccess; ++i) {
    }
    sim->remove_destination(kWarmUpDest);
    return sim;
}

}  // namespace corvane::test
