// What an echo request looks like on the wire, read back on loopback by a
// raw socket: the header fields and payload the echo service would send.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "icmp_test_handle.h"
#include "platform/icmp_socket.h"

namespace corvane::test {
namespace {

using platform::IcmpSocket;
using platform::IcmpSocketKind;

// Every ICMP packet that reaches loopback, IP header first.
class LoopbackListener {
public:
    LoopbackListener() : fd_(socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP)) {}
    ~LoopbackListener() {
        if (fd_ >= 0) close(fd_);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    bool valid() const { return fd_ >= 0; }

    // The echo request with this id and sequence, if it comes within a few
    // seconds (a bound for a missing packet, not a measurement).
    std::optional<std::vector<std::uint8_t>> request(std::uint16_t id, std::uint16_t sequence) {
        for (int i = 0; i < 1000; ++i) {
            pollfd pfd{fd_, POLLIN, 0};
            if (poll(&pfd, 1, 3000) <= 0) return std::nullopt;
            std::vector<std::uint8_t> buf(2048);
            const ssize_t n = recv(fd_, buf.data(), buf.size(), 0);
            if (n < 28) continue;
            buf.resize(std::size_t(n));
            const std::size_t ihl = std::size_t(buf[0] & 0x0f) * 4;
            if (buf.size() < ihl + 8 || buf[ihl] != platform::kIcmpEchoRequest) continue;
            const auto u16 = [&](std::size_t at) { return std::uint16_t((buf[at] << 8) | buf[at + 1]); };
            if (u16(ihl + 4) == id && u16(ihl + 6) == sequence) return buf;
        }
        return std::nullopt;
    }

private:
    int fd_;
};

class IcmpRequestOnTheWire : public ::testing::TestWithParam<IcmpSocketKind> {};

TEST_P(IcmpRequestOnTheWire, CarriesTheTtlNoFlagsNoTosAndThirtyTwoJs) {
    LoopbackListener listener;
    if (!listener.valid()) GTEST_SKIP() << "a raw socket is needed to read the request back";
    IcmpSocket s = IcmpSocket::open(GetParam());
    if (!s.valid()) GTEST_SKIP() << kind_name(GetParam()) << " socket refused here: errno " << s.open_error();

    for (const std::uint8_t ttl : {std::uint8_t(1), std::uint8_t(7), std::uint8_t(128)}) {
        const auto out = s.echo(Ipv4Addr(127, 0, 0, 1), ttl);
        const auto packet = listener.request(s.id(), out.sequence);
        ASSERT_TRUE(packet.has_value()) << "ttl " << int(ttl);
        const std::vector<std::uint8_t>& p = *packet;
        const std::size_t ihl = std::size_t(p[0] & 0x0f) * 4;
        EXPECT_EQ(ihl, 20u) << "no IP options";
        EXPECT_EQ(p[1], 0) << "type of service";
        EXPECT_EQ(p[6], 0) << "flags and fragment offset, high byte (Don't Fragment)";
        EXPECT_EQ(p[7], 0) << "fragment offset, low byte";
        EXPECT_EQ(p[8], ttl);
        ASSERT_EQ(p.size(), ihl + platform::kIcmpHeaderSize + platform::kEchoPayloadSize);
        const std::string payload(p.begin() + long(ihl + platform::kIcmpHeaderSize), p.end());
        EXPECT_EQ(payload, std::string(32, 'J'));
    }
}

INSTANTIATE_TEST_SUITE_P(BothKinds, IcmpRequestOnTheWire,
                         ::testing::Values(IcmpSocketKind::ping, IcmpSocketKind::raw),
                         [](const auto& info) { return std::string(kind_name(info.param)); });

}  // namespace
}  // namespace corvane::test
