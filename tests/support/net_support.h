#pragma once
// What network tests need to know about the test bed that tools/netbed builds.
// The net suite runs inside namespace cvclient (tools/in-netns); a test that
// needs the bed starts with CORVANE_REQUIRE_NETBED(), which skips it, saying
// why, when the bed isn't there or we aren't root.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "netsim/simulator.h"

namespace corvane::test {

// Why the bed can't be used here; nullopt when it can.
std::optional<std::string> netbed_missing();

#define CORVANE_REQUIRE_NETBED()                                           \
    do {                                                                   \
        if (auto corvane_netbed_why = ::corvane::test::netbed_missing()) { \
            GTEST_SKIP() << *corvane_netbed_why;                           \
        }                                                                  \
    } while (0)

// The simulator's TUN device in cvclient and the client's address on it.
inline constexpr char kSimDevice[] = "cvsim0";
inline constexpr char kSimClientAddr[] = "10.77.255.254";

// The client's hosts table (tools/netbed writes the same).
struct HostName {
    const char* addr;
    const char* name;
};
inline constexpr HostName kHostsTable[] = {
    {"10.91.1.1", "r1.chain.test"},   {"10.91.2.2", "r2.chain.test"},
    {"10.91.3.2", "r3.chain.test"},   {"10.91.4.2", "dest.chain.test"},
    {"10.77.1.1", "hop1.sim.test"},   {"10.77.1.2", "hop2.sim.test"},
    {"10.77.1.3", "hop3.sim.test"},   {"10.77.1.4", "hop4.sim.test"},
    {"10.77.1.5", "hop5.sim.test"},   {"10.77.1.6", "hop6.sim.test"},
    {"10.77.1.7", "hop7.sim.test"},   {"10.77.1.8", "hop8.sim.test"},
    {"10.77.1.9", "hop9.sim.test"},   {"10.77.100.1", "dest.sim.test"},
    {"10.77.100.2", "dest2.sim.test"},
};
// Simulator destinations with a name.
inline constexpr char kSimDest[] = "10.77.100.1";      // dest.sim.test
inline constexpr char kSimDest2[] = "10.77.100.2";     // dest2.sim.test
inline constexpr char kSimDestName[] = "dest.sim.test";
// Addresses with no name in the table.
inline constexpr char kSimUnnamedDest[] = "10.77.100.3";
inline constexpr char kSimUnnamedHop[] = "10.77.1.10";
// A name whose only address is IPv6 (fd77::1).
inline constexpr char kV6OnlyName[] = "v6only.sim.test";
// A name in no table: lookups fail at once with EAI_NONAME.
inline constexpr char kUnknownName[] = "nosuch.sim.test";

// Simulator router k (1..9) is 10.77.1.k, named hopK.sim.test.
std::string sim_hop_addr(int k);
// Address i (0..9999) of a large watch list, all in 10.77.0.0/16 and unnamed:
// 10.77.10.1 onwards, 250 per /24.
std::string sim_watch_addr(int i);
// A route to dest through routers 10.77.1.1 .. 10.77.1.<hops>; router k
// answers after k * step_ms, the destination after (hops + 1) * step_ms.
netsim::SimDestination sim_route(const std::string& dest, int hops, double step_ms = 0);

// The kernel-router chain: cvclient -> cvr1 -> cvr2 -> cvr3 -> cvdest.
inline constexpr char kChainR1Netns[] = "cvr1";
inline constexpr char kChainR2Netns[] = "cvr2";
inline constexpr char kChainClient[] = "10.91.1.2";
inline constexpr char kChainR1[] = "10.91.1.1";
inline constexpr char kChainR2[] = "10.91.2.2";
inline constexpr char kChainR3[] = "10.91.3.2";
inline constexpr char kChainDest[] = "10.91.4.2";
inline constexpr char kChainDestName[] = "dest.chain.test";
// No route beyond r3: r3 answers "net unreachable" (3/0) at once.
inline constexpr char kChainNoRoute[] = "10.91.9.1";
// Unused address on r3's link: "host unreachable" from r3 after its ARP
// gives up (about 3 s), so the first probes time out.
inline constexpr char kChainNoHost[] = "10.91.4.99";
// Not routed at all in cvclient: sending fails with ENETUNREACH.
inline constexpr char kUnroutable[] = "10.92.0.1";

// Sets a sysctl of another namespace of the bed (`key` under /proc/sys, e.g.
// "net/ipv4/icmp_ratelimit") for the object's life and puts the old value
// back after, so the bed stays as the other tests expect it.
class ScopedNetnsSysctl {
public:
    ScopedNetnsSysctl(std::string netns, std::string key, const std::string& value);
    ~ScopedNetnsSysctl();
    ScopedNetnsSysctl(const ScopedNetnsSysctl&) = delete;
    ScopedNetnsSysctl& operator=(const ScopedNetnsSysctl&) = delete;
    // Why the value could not be set; empty when it was.
    const std::string& error() const { return error_; }

private:
    std::string netns_, key_, error_;
    std::optional<std::string> old_;
};

}  // namespace corvane::test
