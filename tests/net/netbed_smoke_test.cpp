// Shows that the test bed does what the network tests rely on: the simulator
// answers like a route of routers, the kernel chain forwards and answers, and
// name lookups stay inside the bed's hosts files.
#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "netsim/config.h"
#include "netsim/packet.h"
#include "netsim/simulator.h"
#include "support/net_support.h"

namespace corvane::test {
namespace {

using Clock = std::chrono::steady_clock;

// What came back for one echo.
struct Answer {
    enum Kind { kNone, kReply, kError } kind = kNone;
    std::string from;  // the replying host or the router that reported the error
    int type = -1, code = -1;
    std::uint16_t sequence = 0;
    std::string payload;
    double rtt_ms = 0;
};

// A bare ping socket, as much of one as these tests need.
class Pinger {
public:
    Pinger() {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ < 0) throw std::runtime_error(std::string("ping socket: ") + strerror(errno));
        int one = 1;
        setsockopt(fd_, SOL_IP, IP_RECVERR, &one, sizeof one);
        int big = 1 << 23;  // room for a thousand answers
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &big, sizeof big);
    }
    ~Pinger() { close(fd_); }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    // Sends one echo; false when sendto fails (errno tells why).
    bool send(const std::string& dest, int ttl, std::uint16_t seq) {
        if (ttl != ttl_) {
            setsockopt(fd_, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
            ttl_ = ttl;
        }
        unsigned char pkt[8 + 32];
        std::memset(pkt, 'J', sizeof pkt);
        icmphdr h{};
        h.type = ICMP_ECHO;
        h.un.echo.sequence = htons(seq);
        std::memcpy(pkt, &h, sizeof h);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        inet_pton(AF_INET, dest.c_str(), &to.sin_addr);
        sent_[seq] = Clock::now();
        // An error that came back for an earlier echo of a burst fails the
        // next sendto once, whenever it arrives (it waits on the error queue
        // for receive() anyway): that send is tried again. A send that can't
        // go out, for want of a route say, fails every time.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (sendto(fd_, pkt, sizeof pkt, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
                static_cast<ssize_t>(sizeof pkt))
                return true;
        }
        return false;
    }

    // The next answer of any sequence, or kind kNone after wait_ms.
    Answer receive(int wait_ms) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() < 0 || poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) return {};
            Answer a;
            if (p.revents & POLLERR) {
                if (read_error(a)) return a;
            } else if (p.revents & POLLIN) {
                if (read_reply(a)) return a;
            }
        }
    }

    // Sends one echo and waits for its own answer.
    Answer echo(const std::string& dest, int ttl, std::uint16_t seq, int wait_ms = 1000) {
        if (!send(dest, ttl, seq)) return {};
        const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() < 0) return {};
            Answer a = receive(static_cast<int>(left.count()));
            if (a.kind == Answer::kNone || a.sequence == seq) return a;
        }
    }

private:
    void stamp(Answer& a) {
        if (auto it = sent_.find(a.sequence); it != sent_.end())
            a.rtt_ms = std::chrono::duration<double, std::milli>(Clock::now() - it->second).count();
    }

    bool read_reply(Answer& a) {
        unsigned char buf[2048];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = recvfrom(fd_, buf, sizeof buf, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 8) return false;
        icmphdr h;
        std::memcpy(&h, buf, sizeof h);
        a.kind = Answer::kReply;
        a.type = h.type;
        a.code = h.code;
        a.sequence = ntohs(h.un.echo.sequence);
        a.from = inet_ntoa(from.sin_addr);
        a.payload.assign(reinterpret_cast<char*>(buf) + 8, static_cast<std::size_t>(n) - 8);
        stamp(a);
        return true;
    }

    bool read_error(Answer& a) {
        unsigned char buf[2048];
        char control[512];
        sockaddr_in dest{};
        iovec iov{buf, sizeof buf};
        msghdr msg{};
        msg.msg_name = &dest;
        msg.msg_namelen = sizeof dest;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = recvmsg(fd_, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (n < 8) return false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
            auto* ee = reinterpret_cast<sock_extended_err*>(CMSG_DATA(c));
            if (ee->ee_origin != SO_EE_ORIGIN_ICMP) return false;
            auto* off = reinterpret_cast<sockaddr_in*>(SO_EE_OFFENDER(ee));
            icmphdr h;
            std::memcpy(&h, buf, sizeof h);
            a.kind = Answer::kError;
            a.type = ee->ee_type;
            a.code = ee->ee_code;
            a.sequence = ntohs(h.un.echo.sequence);
            a.from = inet_ntoa(off->sin_addr);
            stamp(a);
            return true;
        }
        return false;
    }

    int fd_ = -1;
    int ttl_ = 64;
    std::map<std::uint16_t, Clock::time_point> sent_;
};

// ---------------------------------------------------------------------------
// The simulator

TEST(NetbedSimulator, AnswersLikeARouteOfRouters) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    auto route = sim_route(kSimDest, 3, 10);
    route.hops[1].addr.clear();  // router 2 never answers
    sim.set_destination(route);
    Pinger ping;

    struct Case {
        int ttl;
        Answer::Kind kind;
        const char* from;
        int type;
        double delay_ms;
    };
    const Case cases[] = {
        {1, Answer::kError, "10.77.1.1", ICMP_TIME_EXCEEDED, 10},
        {2, Answer::kNone, "", -1, 0},
        {3, Answer::kError, "10.77.1.3", ICMP_TIME_EXCEEDED, 30},
        {4, Answer::kReply, kSimDest, ICMP_ECHOREPLY, 40},
        {64, Answer::kReply, kSimDest, ICMP_ECHOREPLY, 40},
    };
    std::uint16_t seq = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE("ttl " + std::to_string(c.ttl));
        const Answer a = ping.echo(kSimDest, c.ttl, ++seq, c.kind == Answer::kNone ? 300 : 1000);
        ASSERT_EQ(a.kind, c.kind);
        if (c.kind == Answer::kNone) continue;
        EXPECT_EQ(a.from, c.from);
        EXPECT_EQ(a.type, c.type);
        EXPECT_EQ(a.sequence, seq);
        // Never earlier than the configured delay (no upper bound: that's timing).
        EXPECT_GE(a.rtt_ms, c.delay_ms);
        if (c.kind == Answer::kReply) {
            EXPECT_EQ(a.payload, std::string(32, 'J'));
        }
    }
    const auto n = sim.counters();
    EXPECT_EQ(n.requests, 5u);
    EXPECT_EQ(n.time_exceeded, 2u);
    EXPECT_EQ(n.echo_replies, 2u);
    EXPECT_EQ(n.dropped, 1u);
    EXPECT_EQ(sim.requests_seen(kSimDest, 2), 1u);
    EXPECT_EQ(sim.requests_seen(kSimDest, 64), 1u);
}


TEST(NetbedSimulator, UnreachableAndSilentDestinations) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    auto unreachable = sim_route(kSimDest, 2);
    unreachable.unreachable = true;
    sim.set_destination(unreachable);
    auto quiet = sim_route(kSimDest2, 1);
    quiet.silent = true;
    sim.set_destination(quiet);
    Pinger ping;

    Answer a = ping.echo(kSimDest, 64, 1);
    ASSERT_EQ(a.kind, Answer::kError);
    EXPECT_EQ(a.type, ICMP_DEST_UNREACH);
    EXPECT_EQ(a.code, ICMP_HOST_UNREACH);
    EXPECT_EQ(a.from, sim_hop_addr(2));

    EXPECT_EQ(ping.echo(kSimDest2, 64, 2, 300).kind, Answer::kNone);
    // Its routers still answer while it is silent.
    EXPECT_EQ(ping.echo(kSimDest2, 1, 3).from, sim_hop_addr(1));
    sim.set_destination_silent(kSimDest2, false);
    a = ping.echo(kSimDest2, 64, 4);
    EXPECT_EQ(a.kind, Answer::kReply);
    EXPECT_EQ(a.from, kSimDest2);
    sim.set_destination_silent(kSimDest2, true);
    EXPECT_EQ(ping.echo(kSimDest2, 64, 5, 300).kind, Answer::kNone);

    // Unconfigured addresses in the device's network are a black hole.
    EXPECT_EQ(ping.echo(kSimUnnamedDest, 64, 6, 300).kind, Answer::kNone);
    sim.remove_destination(kSimDest);
    EXPECT_EQ(ping.echo(kSimDest, 64, 7, 300).kind, Answer::kNone);

    const auto n = sim.counters();
    EXPECT_EQ(n.requests, 7u);
    EXPECT_EQ(n.unreachable, 1u);
    EXPECT_EQ(n.echo_replies, 1u);
    EXPECT_EQ(n.time_exceeded, 1u);
    EXPECT_EQ(n.dropped, 4u);
    EXPECT_THROW(sim.set_destination_silent(kSimUnnamedDest, true), std::invalid_argument);
}

TEST(NetbedSimulator, RouteReplacedWhileRunning) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    sim.set_destination(sim_route(kSimDest, 2));
    Pinger ping;
    EXPECT_EQ(ping.echo(kSimDest, 2, 1).from, sim_hop_addr(2));
    EXPECT_EQ(ping.echo(kSimDest, 3, 2).from, kSimDest);

    auto changed = sim_route(kSimDest, 3);
    changed.hops[1].addr = sim_hop_addr(7);
    sim.set_destination(changed);
    EXPECT_EQ(sim.requests_seen(kSimDest, 2), 0u) << "counts start again with the new route";
    EXPECT_EQ(ping.echo(kSimDest, 2, 3).from, sim_hop_addr(7));
    EXPECT_EQ(ping.echo(kSimDest, 3, 4).from, sim_hop_addr(3));
    EXPECT_EQ(ping.echo(kSimDest, 4, 5).from, kSimDest);
    EXPECT_EQ(sim.requests_seen(kSimDest, 2), 1u);
}

TEST(NetbedSimulator, DropNextDropsExactlyTheChosenProbe) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    sim.set_destination(sim_route(kSimDest, 2));
    sim.drop_next(kSimDest, 64);
    sim.drop_next(kSimDest, 2);
    sim.drop_next(kSimDest, 2);
    Pinger ping;
    struct Case {
        int ttl;
        bool answered;
    };
    const Case cases[] = {{1, true}, {64, false}, {64, true}, {64, true},
                          {2, false}, {2, false}, {2, true}, {1, true}};
    std::uint16_t seq = 0;
    for (const Case& c : cases) {
        ++seq;
        SCOPED_TRACE("probe " + std::to_string(seq));
        EXPECT_EQ(ping.echo(kSimDest, c.ttl, seq, c.answered ? 1000 : 300).kind != Answer::kNone, c.answered);
    }
    EXPECT_EQ(sim.counters().dropped, 3u);
    EXPECT_EQ(sim.requests_seen(kSimDest, 2), 3u);
}

TEST(NetbedSimulator, RateLimitedRouterAnswersOncePerInterval) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    auto route = sim_route(kSimDest, 2);
    route.hops[0].rate_limit_ms = 60'000;  // far longer than the test
    sim.set_destination(route);
    Pinger ping;
    for (std::uint16_t seq = 1; seq <= 10; ++seq) ASSERT_TRUE(ping.send(kSimDest, 1, seq)) << strerror(errno);
    for (std::uint16_t seq = 11; seq <= 15; ++seq) ASSERT_TRUE(ping.send(kSimDest, 2, seq));
    std::map<std::string, int> from;
    for (Answer a = ping.receive(500); a.kind != Answer::kNone; a = ping.receive(300)) ++from[a.from];
    EXPECT_EQ(from[sim_hop_addr(1)], 1);
    EXPECT_EQ(from[sim_hop_addr(2)], 5) << "the limit is per router";
    EXPECT_EQ(sim.counters().rate_limited, 9u);
}

// Sends `count` echoes to dest at TTL 64 without waiting and gathers the
// sequences that were answered.
std::set<std::uint16_t> answered_burst(const std::string& dest, int count, std::uint64_t seed, double loss) {
    netsim::Simulator sim(kSimDevice, seed);
    auto route = sim_route(dest, 1);
    route.loss_pct = loss;
    sim.set_destination(route);
    Pinger ping;
    for (int i = 0; i < count; ++i) ping.send(dest, 64, static_cast<std::uint16_t>(i));
    std::set<std::uint16_t> seqs;
    for (Answer a = ping.receive(500); a.kind != Answer::kNone; a = ping.receive(300)) seqs.insert(a.sequence);
    return seqs;
}

TEST(NetbedSimulator, LossIsRepeatableForASeed) {
    CORVANE_REQUIRE_NETBED();
    const auto first = answered_burst(kSimDest, 60, 7, 50);
    const auto second = answered_burst(kSimDest, 60, 7, 50);
    EXPECT_EQ(first, second);
    EXPECT_GT(first.size(), 5u);
    EXPECT_LT(first.size(), 55u);
    EXPECT_EQ(answered_burst(kSimDest, 20, 7, 0).size(), 20u);
    EXPECT_EQ(answered_burst(kSimDest, 20, 7, 100).size(), 0u);
}

TEST(NetbedSimulator, ThousandDestinationsAllAnswerOneBurst) {
    CORVANE_REQUIRE_NETBED();
    constexpr int kHosts = 1000;
    netsim::Simulator sim;
    std::vector<std::string> hosts;
    for (int i = 0; i < kHosts; ++i) {
        hosts.push_back(sim_watch_addr(i));
        sim.set_destination(sim_route(hosts.back(), 2));
    }
    Pinger ping;
    // All at once, as a watch list starting up does: the device's queue must
    // hold them until the simulator reads them.
    for (int i = 0; i < kHosts; ++i) ASSERT_TRUE(ping.send(hosts[i], 64, static_cast<std::uint16_t>(i)));
    std::set<std::string> answered;
    for (Answer a = ping.receive(1000); a.kind != Answer::kNone; a = ping.receive(300)) {
        EXPECT_EQ(a.kind, Answer::kReply);
        EXPECT_EQ(a.from, sim_watch_addr(a.sequence));
        answered.insert(a.from);
        if (answered.size() == static_cast<std::size_t>(kHosts)) break;
    }
    EXPECT_EQ(answered.size(), static_cast<std::size_t>(kHosts));
    EXPECT_EQ(sim.counters().echo_replies, static_cast<std::uint64_t>(kHosts));
}

TEST(NetbedSimulator, OtherTrafficIsSwallowed) {
    CORVANE_REQUIRE_NETBED();
    netsim::Simulator sim;
    sim.set_destination(sim_route(kSimDest, 1));
    const int udp = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(udp, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(53);
    inet_pton(AF_INET, kSimDest, &to.sin_addr);
    EXPECT_EQ(sendto(udp, "x", 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 1);
    close(udp);
    Pinger ping;
    EXPECT_EQ(ping.echo(kSimDest, 64, 1).kind, Answer::kReply);
    EXPECT_EQ(sim.counters().requests, 1u) << "only echo requests count";
}

TEST(NetbedSimulator, RefusesDevicesItCannotServe) {
    CORVANE_REQUIRE_NETBED();
    // An unknown name would otherwise create a fresh, unrouted device.
    EXPECT_THROW(netsim::Simulator("cvnosuch0"), std::runtime_error);
    EXPECT_THROW(netsim::Simulator(""), std::runtime_error);
    EXPECT_THROW(netsim::Simulator("cv-name-far-too-long"), std::runtime_error);
    netsim::Simulator first;
    EXPECT_THROW(netsim::Simulator(kSimDevice, 1, 0), std::runtime_error) << "one simulator per device";
    EXPECT_THROW(first.set_destination(sim_route("10.77.300.1", 1)), std::invalid_argument);
    auto bad_hop = sim_route(kSimDest, 2);
    bad_hop.hops[1].addr = "hop2.sim.test";
    EXPECT_THROW(first.set_destination(bad_hop), std::invalid_argument);
}

// ---------------------------------------------------------------------------
// The kernel-router chain

TEST(NetbedChain, RoutersForwardAndAnswer) {
    CORVANE_REQUIRE_NETBED();
    Pinger ping;
    struct Case {
        const char* dest;
        int ttl;
        Answer::Kind kind;
        const char* from;
        int type, code;
    };
    const Case cases[] = {
        {kChainDest, 1, Answer::kError, kChainR1, ICMP_TIME_EXCEEDED, 0},
        {kChainDest, 2, Answer::kError, kChainR2, ICMP_TIME_EXCEEDED, 0},
        {kChainDest, 3, Answer::kError, kChainR3, ICMP_TIME_EXCEEDED, 0},
        {kChainDest, 4, Answer::kReply, kChainDest, ICMP_ECHOREPLY, 0},
        {kChainDest, 64, Answer::kReply, kChainDest, ICMP_ECHOREPLY, 0},
        {kChainNoRoute, 64, Answer::kError, kChainR3, ICMP_DEST_UNREACH, ICMP_NET_UNREACH},
    };
    std::uint16_t seq = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dest) + " ttl " + std::to_string(c.ttl));
        const Answer a = ping.echo(c.dest, c.ttl, ++seq);
        ASSERT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.from, c.from);
        EXPECT_EQ(a.type, c.type);
        EXPECT_EQ(a.code, c.code);
    }
    // Nothing is routed outside the bed.
    errno = 0;
    EXPECT_FALSE(ping.send(kUnroutable, 64, ++seq));
    EXPECT_EQ(errno, ENETUNREACH);
}

// ---------------------------------------------------------------------------
// Name lookups stay inside the bed

TEST(NetbedNames, HostsTableAnswersForwardAndReverse) {
    CORVANE_REQUIRE_NETBED();
    for (const HostName& h : kHostsTable) {
        SCOPED_TRACE(h.name);
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* res = nullptr;
        ASSERT_EQ(getaddrinfo(h.name, nullptr, &hints, &res), 0);
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr, text, sizeof text);
        freeaddrinfo(res);
        EXPECT_STREQ(text, h.addr);

        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        inet_pton(AF_INET, h.addr, &sa.sin_addr);
        char host[NI_MAXHOST];
        ASSERT_EQ(getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0,
                              NI_NAMEREQD), 0);
        EXPECT_STREQ(host, h.name);
    }
}

TEST(NetbedNames, UnknownNamesAndAddressesFailWithoutDns) {
    CORVANE_REQUIRE_NETBED();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    // EAI_NONAME, not EAI_AGAIN: the answer came from the hosts file, no
    // resolver was asked.
    EXPECT_EQ(getaddrinfo(kUnknownName, nullptr, &hints, &res), EAI_NONAME);

    ASSERT_EQ(getaddrinfo(kV6OnlyName, nullptr, &hints, &res), 0);
    for (addrinfo* ai = res; ai; ai = ai->ai_next) EXPECT_EQ(ai->ai_family, AF_INET6);
    freeaddrinfo(res);

    for (const char* addr : {kSimUnnamedDest, kSimUnnamedHop, kChainClient}) {
        SCOPED_TRACE(addr);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        inet_pton(AF_INET, addr, &sa.sin_addr);
        char host[NI_MAXHOST];
        EXPECT_EQ(getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0,
                              NI_NAMEREQD),
                  EAI_NONAME);
    }
}

// ---------------------------------------------------------------------------
// The simulator's packets and configuration, no bed needed

std::vector<std::uint8_t> echo_request(std::size_t options, std::size_t payload, std::uint8_t ttl) {
    const std::size_t ihl = 20 + options;
    std::vector<std::uint8_t> p(ihl + 8 + payload, 0);
    p[0] = static_cast<std::uint8_t>(0x40 | ihl / 4);
    p[2] = static_cast<std::uint8_t>(p.size() >> 8);
    p[3] = static_cast<std::uint8_t>(p.size());
    p[8] = ttl;
    p[9] = 1;
    const std::uint8_t src[] = {10, 77, 255, 254}, dst[] = {10, 77, 100, 1};
    std::copy(src, src + 4, p.begin() + 12);
    std::copy(dst, dst + 4, p.begin() + 16);
    for (std::size_t i = 20; i < ihl; ++i) p[i] = 1;  // NOP options
    p[ihl] = 8;
    p[ihl + 4] = 0x12;  // id 0x1234
    p[ihl + 5] = 0x34;
    p[ihl + 6] = 0xab;  // sequence 0xabcd
    p[ihl + 7] = 0xcd;
    for (std::size_t i = 0; i < payload; ++i) p[ihl + 8 + i] = static_cast<std::uint8_t>('a' + i % 26);
    return p;
}

TEST(NetsimPacket, Checksum) {
    // The worked example of RFC 1071, odd lengths padded with a zero byte.
    EXPECT_EQ(netsim::inet_checksum(std::vector<std::uint8_t>{0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7}),
              0x220d);
    EXPECT_EQ(netsim::inet_checksum(std::vector<std::uint8_t>{0x01}), 0xfeff);
    EXPECT_EQ(netsim::inet_checksum(std::vector<std::uint8_t>{}), 0xffff);
}

TEST(NetsimPacket, RecognisesOnlyWholeEchoRequests) {
    const auto good = echo_request(0, 32, 3);
    struct Case {
        const char* what;
        std::size_t at;  // byte to change, or npos to cut the packet instead
        std::uint8_t value;
        std::size_t cut = 0;
    };
    constexpr auto npos = std::string::npos;
    const Case cases[] = {
        {"IPv6", 0, 0x65},
        {"header shorter than 20", 0, 0x44},
        {"total length beyond what was read", 3, 100},
        {"total length shorter than the echo header", 3, 27},
        {"UDP", 9, 17},
        {"more fragments", 6, 0x20},
        {"fragment offset", 7, 0x01},
        {"echo reply", 20, 0},
        {"code not 0", 21, 1},
        {"truncated IP header", npos, 0, 19},
        {"truncated echo header", npos, 0, 27},
        {"empty", npos, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto p = good;
        if (c.at == npos) {
            p.resize(c.cut);
        } else {
            p[c.at] = c.value;
        }
        EXPECT_FALSE(netsim::parse_echo_request(p).has_value());
    }
    const auto req = netsim::parse_echo_request(good);
    ASSERT_TRUE(req.has_value());
    EXPECT_EQ(req->ttl, 3);
    EXPECT_EQ(req->id, 0x1234);
    EXPECT_EQ(req->sequence, 0xabcd);
    EXPECT_EQ(netsim::format_ipv4(req->src), "10.77.255.254");
    EXPECT_EQ(netsim::format_ipv4(req->dst), "10.77.100.1");
    // Bytes read past the total length (padding) are not part of the packet.
    auto padded = good;
    padded.resize(padded.size() + 10, 0xee);
    const auto preq = netsim::parse_echo_request(padded);
    ASSERT_TRUE(preq.has_value());
    EXPECT_EQ(netsim::make_echo_reply(padded, *preq, preq->dst).size(), good.size());
}

TEST(NetsimPacket, AnswersCarryValidChecksumsAndTheRightQuote) {
    for (std::size_t options : {0u, 4u, 40u}) {
        SCOPED_TRACE("options " + std::to_string(options));
        const auto request = echo_request(options, 32, 2);
        const auto req = netsim::parse_echo_request(request);
        ASSERT_TRUE(req.has_value());
        EXPECT_EQ(req->header_len, 20 + options);

        const auto reply = netsim::make_echo_reply(request, *req, req->dst);
        ASSERT_EQ(reply.size(), 20u + 8 + 32);
        EXPECT_EQ(netsim::inet_checksum(std::span(reply).first(20)), 0);
        EXPECT_EQ(netsim::inet_checksum(std::span(reply).subspan(20)), 0);
        EXPECT_EQ(reply[8], netsim::kAnswerTtl);
        EXPECT_EQ(reply[20], 0);  // echo reply
        EXPECT_TRUE(std::equal(reply.begin() + 12, reply.begin() + 16, request.begin() + 16)) << "from the destination";
        EXPECT_TRUE(std::equal(reply.begin() + 16, reply.begin() + 20, request.begin() + 12)) << "to the prober";
        EXPECT_TRUE(std::equal(reply.begin() + 24, reply.end(), request.begin() + 20 + options + 4))
            << "id, sequence and payload echoed";

        const std::uint32_t hop = *netsim::parse_ipv4("10.77.1.2");
        const auto err = netsim::make_icmp_error(request, *req, hop, 11, 0);
        ASSERT_EQ(err.size(), 20u + 8 + 20 + options + 8);
        EXPECT_EQ((err[2] << 8 | err[3]), static_cast<int>(err.size()));
        EXPECT_EQ(netsim::inet_checksum(std::span(err).first(20)), 0);
        EXPECT_EQ(netsim::inet_checksum(std::span(err).subspan(20)), 0);
        EXPECT_EQ(err[8], netsim::kAnswerTtl);
        EXPECT_EQ(netsim::format_ipv4(std::uint32_t{err[12]} << 24 | err[13] << 16 | err[14] << 8 | err[15]),
                  "10.77.1.2");
        EXPECT_TRUE(std::equal(err.begin() + 16, err.begin() + 20, request.begin() + 12));
        EXPECT_EQ(err[20], 11);
        EXPECT_EQ(err[21], 0);
        EXPECT_TRUE(std::equal(err.begin() + 28, err.end(), request.begin())) << "quotes header + 8 bytes";
    }
}

TEST(NetsimConfig, ReadsRoutes) {
    const auto routes = netsim::parse_config(
        "# two routes\n"
        "dest 10.77.100.1 delay 40 loss 5.5\n"
        "  hop 10.77.1.1 delay 10\n"
        "  hop silent   # never answers\n"
        "  hop 10.77.1.3 delay 30 loss 1 ratelimit 100\n"
        "\n"
        "dest 10.77.100.2 silent unreachable from 10.77.100.9\n");
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[0].addr, "10.77.100.1");
    EXPECT_EQ(routes[0].delay_ms, 40);
    EXPECT_EQ(routes[0].loss_pct, 5.5);
    ASSERT_EQ(routes[0].hops.size(), 3u);
    EXPECT_EQ(routes[0].hops[0].addr, "10.77.1.1");
    EXPECT_EQ(routes[0].hops[0].delay_ms, 10);
    EXPECT_TRUE(routes[0].hops[1].addr.empty());
    EXPECT_EQ(routes[0].hops[2].rate_limit_ms, 100);
    EXPECT_EQ(routes[0].hops[2].loss_pct, 1);
    EXPECT_TRUE(routes[1].silent);
    EXPECT_TRUE(routes[1].unreachable);
    EXPECT_EQ(routes[1].reply_from, "10.77.100.9");
    EXPECT_TRUE(routes[0].reply_from.empty());
    EXPECT_TRUE(routes[1].hops.empty());
    EXPECT_TRUE(netsim::parse_config("").empty());
}

TEST(NetsimConfig, RejectsWhatItCannotRead) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"hop 10.77.1.1\n", "line 1"},
        {"dest\n", "line 1"},
        {"dest 10.77.100.1\nhop\n", "line 2"},
        {"dest dest.sim.test\n", "line 1"},
        {"dest 10.77.100.1 delay\n", "line 1"},
        {"dest 10.77.100.1 delay -1\n", "line 1"},
        {"dest 10.77.100.1 delay 10ms\n", "line 1"},
        {"dest 10.77.100.1 loss 101\n", "line 1"},
        {"dest 10.77.100.1 loss nan\n", "line 1"},
        {"dest 10.77.100.1\n\nhop 10.77.1.1 ratelimit x\n", "line 3"},
        {"dest 10.77.100.1 fast\n", "line 1"},
        {"dest 10.77.100.1 from\n", "line 1"},
        {"dest 10.77.100.1 from dest2.sim.test\n", "line 1"},
        {"route 10.77.100.1\n", "line 1"},
        {"dest 10.77.100.1\ndest 10.77.100.1\n", "line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            netsim::parse_config(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.line), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace corvane::test
