#include "engine/echo.h"

#include <utility>

#include "engine/test_seam_slot.h"
#include "platform/icmp_socket.h"

namespace corvane {
namespace {

class SystemIcmpHandle final : public IcmpHandle {
public:
    SystemIcmpHandle() : socket_(platform::IcmpSocket::open()) {}
    bool valid() const override { return socket_.valid(); }

    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) override {
        EchoReply reply;
        const platform::IcmpOutcome out = socket_.echo(dest, ttl);
        if (out.status != platform::kIcmpSuccess && out.status != platform::kIcmpTtlExpired) return reply;
        reply.failed = false;
        reply.reached = out.status == platform::kIcmpSuccess;
        reply.addr = out.from;
        reply.rtt_ms = out.rtt_ms;
        return reply;
    }

private:
    platform::IcmpSocket socket_;
};

}  // namespace

std::unique_ptr<IcmpHandle> open_icmp_handle() {
    const SeamSlot<IcmpHandleFactory>& slot = SeamSlot<IcmpHandleFactory>::instance();
    // Called outside the lock: a scripted factory may take its time.
    for (const IcmpHandleFactory& factory : {slot.get(), slot.get_default()}) {
        if (!factory) continue;
        if (auto handle = factory()) return handle;
    }
    return open_system_icmp_handle();
}

std::unique_ptr<IcmpHandle> open_system_icmp_handle() { return std::make_unique<SystemIcmpHandle>(); }

void set_icmp_handle_factory(IcmpHandleFactory factory) {
    SeamSlot<IcmpHandleFactory>::instance().set(std::move(factory));
}

EchoReply send_icmp_echo(IcmpHandle& handle, Ipv4Addr dest, std::uint8_t ttl) {
    if (!handle.valid()) return EchoReply{};
    return handle.echo(dest, ttl);
}

}  // namespace corvane
