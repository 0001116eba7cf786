// The ICMP socket against the simulator: round-trip accuracy, time-outs,
// stale and foreign answers, fast failure, and probing without privileges.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "icmp_test_handle.h"
#include "netsim/simulator.h"
#include "support/net_support.h"

namespace corvane::test {
namespace {

using platform::IcmpOutcome;
using platform::IcmpSocket;
using platform::IcmpSocketKind;
using Clock = std::chrono::steady_clock;

double elapsed_ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

class IcmpSocketNet : public ::testing::TestWithParam<IcmpSocketKind> {
protected:
    IcmpSocket open_socket() {
        IcmpSocket s = IcmpSocket::open(GetParam());
        EXPECT_TRUE(s.valid()) << kind_name(GetParam()) << " socket: errno " << s.open_error();
        return s;
    }
};

// One probe as the prober saw it, and what the simulator did with it.
struct Probe {
    std::string target;
    std::uint16_t id = 0;
    Clock::time_point called;  // just before echo(): no earlier than the send
    IcmpOutcome out;
    std::optional<netsim::SimExchange> served;
};

// The simulator notes an answer's time after its write returns, which may be
// after the prober has read it: wait for the note (a bound for a lost answer,
// not a measurement).
std::optional<netsim::SimExchange> served(const netsim::Simulator& sim, const Probe& p) {
    const auto give_up = Clock::now() + std::chrono::seconds(5);
    for (;;) {
        auto ex = sim.exchange(p.target, p.id, p.out.sequence);
        if ((ex && ex->answered) || Clock::now() > give_up) return ex;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// 100 probes per delay, four threads on separate destinations.
std::map<int, std::vector<Probe>> probe_delays(netsim::Simulator& sim, IcmpSocketKind kind) {
    constexpr int kProbes = 100, kThreads = 4;
    std::map<int, std::vector<Probe>> probes;
    std::mutex mu;
    int octet = 1;
    for (int d : {10, 50, 200}) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            netsim::SimDestination dest;
            dest.addr = "10.77.50." + std::to_string(octet++);
            dest.delay_ms = d;
            sim.set_destination(dest);
            threads.emplace_back([&, d, target = dest.addr] {
                IcmpSocket s = IcmpSocket::open(kind);
                std::vector<Probe> mine;
                for (int i = 0; i < kProbes / kThreads; ++i) {
                    Probe p{target, s.id(), Clock::now(), {}, {}};
                    p.out = s.echo(addr(target), 64);
                    mine.push_back(std::move(p));
                }
                std::lock_guard lock(mu);
                probes[d].insert(probes[d].end(), mine.begin(), mine.end());
            });
        }
        for (auto& t : threads) t.join();
    }
    for (auto& [d, list] : probes) {
        for (Probe& p : list) p.served = served(sim, p);
    }
    return probes;
}

// "+kxn": n round trips off by k ms, lost ones apart.
void report_histogram(std::ostringstream& report, const char* what, const std::map<std::int64_t, int>& histogram,
                      int lost) {
    report << "  " << what << ":";
    for (auto [off, n] : histogram) report << " " << (off < 0 ? "" : "+") << off << "x" << n;
    if (lost > 0) report << " lostx" << lost;
    report << "\n";
}

// A busy machine delays the simulator's thread as much as the prober's, so
// a round trip is judged against what the simulator really did. Two bounds
// hold however busy the machine is: no answer leaves before the delay has
// passed since its request reached the device, so nothing measures less than
// the delay; and the kernel stamps an answer while the simulator's write is
// under way, so a stamped round trip is never longer than from the call to
// the end of that write. Besides, the typical round trip stays within 2 ms
// of the span from the request's arrival to the answer's write. Only the
// typical one: a thread preempted between reading the clock and sending, or
// the simulator's between reading a request and noting its arrival, puts
// any single probe off by that pause, and on a busy machine a few are.
TEST_P(IcmpSocketNet, RoundTripMatchesTheSimulatedDelay) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    // Held open throughout: the kernel turns its receive stamps on and off
    // a moment after the first socket asks and the last one closes.
    IcmpSocket keeps_stamps_on = open_socket();
    const std::map<int, std::vector<Probe>> probes = probe_delays(*sim_owner, GetParam());
    std::ostringstream report;
    for (const auto& [d, list] : probes) {
        std::map<std::int64_t, int> off_delay, off_span;
        int lost = 0, within = 0, stamped = 0;
        for (const Probe& p : list) {
            if (p.out.status != platform::kIcmpSuccess || !p.served || !p.served->answered) {
                ++lost;
                continue;
            }
            const double span = ms_between(p.served->arrived, *p.served->answered);
            const double rtt = p.out.rtt_ms;
            off_delay[std::int64_t(p.out.rtt_ms) - d]++;
            // Rounded up: +0 is at most the span, +2 the last bucket within bounds.
            off_span[std::int64_t(std::ceil(rtt - span))]++;
            EXPECT_GE(p.out.rtt_ms, std::uint32_t(d)) << "delay " << d << " ms, sequence " << p.out.sequence;
            if (p.out.stamped) {
                ++stamped;
                EXPECT_LE(rtt, ms_between(p.called, *p.served->answered))
                    << "delay " << d << " ms, sequence " << p.out.sequence;
            }
            if (rtt <= span + 2.0) ++within;
        }
        report << kind_name(GetParam()) << " delay " << d << " ms: " << within << " of " << list.size()
               << " within 2 ms of the simulator's span, " << stamped << " stamped\n";
        report_histogram(report, "measured - delay", off_delay, lost);
        report_histogram(report, "measured - span ", off_span, lost);
        EXPECT_GE(within, int(list.size()) / 2 + 1) << "delay " << d;
        // Only a step of the wall clock in the middle of a probe loses a stamp.
        EXPECT_GE(stamped, 99) << "delay " << d;
    }
    std::cout << report.str();
    RecordProperty("rtt_distribution", report.str());
}

TEST_P(IcmpSocketNet, SilentHopTimesOutAfterAboutOneSecondAndLeavesTheNextProbeClean) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    auto d = sim_route(kSimDest, 3, 5);
    d.hops[1].addr.clear();
    sim.set_destination(d);
    IcmpSocket s = open_socket();

    const auto start = Clock::now();
    const IcmpOutcome silent = s.echo(addr(kSimDest), 2);
    const double took = elapsed_ms(start);
    EXPECT_EQ(silent.status, platform::kIcmpTimedOut);
    // Never short of the time-out; the upper bound only catches a wrong one
    // (a busy machine adds milliseconds, not a second).
    EXPECT_GE(took, IcmpSocket::kTimeoutMs);
    EXPECT_LT(took, 2 * IcmpSocket::kTimeoutMs);

    EXPECT_FALSE(silent.stamped);

    const IcmpOutcome next = s.echo(addr(kSimDest), 3);
    EXPECT_EQ(next.status, platform::kIcmpTtlExpired);
    EXPECT_EQ(next.from, addr(sim_hop_addr(3)));
    // A ping socket reads time-exceeded from its error queue: stamped too.
    EXPECT_TRUE(next.stamped);
    const IcmpOutcome reply = s.echo(addr(kSimDest), 64);
    EXPECT_EQ(reply.status, platform::kIcmpSuccess);
    EXPECT_EQ(reply.from, addr(kSimDest));
}

TEST_P(IcmpSocketNet, AStaleReplyOfATimedOutRequestIsNotTakenForTheNextOne) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    netsim::SimDestination d;
    d.addr = kSimDest;
    d.delay_ms = 1200;  // the first reply lands 200 ms into the second probe
    sim.set_destination(d);
    IcmpSocket s = open_socket();
    const auto replies_before = sim.counters().echo_replies;
    EXPECT_EQ(s.echo(addr(kSimDest), 64).status, platform::kIcmpTimedOut);

    d.delay_ms = 600;
    sim.set_destination(d);
    const IcmpOutcome second = s.echo(addr(kSimDest), 64);
    EXPECT_EQ(second.status, platform::kIcmpSuccess);
    EXPECT_GE(second.rtt_ms, 600u) << "took the stale reply of the first probe";
    EXPECT_EQ(sim.counters().echo_replies - replies_before, 2u);  // the stale one was really sent

    // The same for a stale time-exceeded error.
    auto routed = sim_route(kSimDest2, 1);
    routed.hops[0].delay_ms = 1200;
    sim.set_destination(routed);
    EXPECT_EQ(s.echo(addr(kSimDest2), 1).status, platform::kIcmpTimedOut);
    routed.hops[0].delay_ms = 400;
    sim.set_destination(routed);
    const IcmpOutcome again = s.echo(addr(kSimDest2), 1);
    EXPECT_EQ(again.status, platform::kIcmpTtlExpired);
    EXPECT_GE(again.rtt_ms, 400u);

    // A stale error that lands between two probes: the next one is still
    // sent and answered, not failed by what the kernel kept of the old one.
    routed.hops[0].delay_ms = 1200;
    sim.set_destination(routed);
    const IcmpOutcome late = s.echo(addr(kSimDest2), 1);
    EXPECT_EQ(late.status, platform::kIcmpTimedOut);
    const auto landed = [&] {
        const auto ex = sim.exchange(kSimDest2, s.id(), late.sequence);
        return ex && ex->answered;
    };
    for (int i = 0; i < 2000 && !landed(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(landed());
    const IcmpOutcome after = s.echo(addr(kSimDest), 64);
    EXPECT_EQ(after.status, platform::kIcmpSuccess) << "failed by the stale error of the probe before";
}

// A host may answer from another of its addresses. The reply is ours by id
// and sequence, taken when it comes, and says where it came from; the callers
// decide what it means (a trace shows that address, a watch counts a loss).
TEST_P(IcmpSocketNet, AReplyFromAnotherAddressIsTakenWithThatAddress) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::SimDestination d;
    d.addr = kSimDest;
    d.reply_from = kSimUnnamedDest;
    d.delay_ms = 5;
    sim_owner->set_destination(d);
    IcmpSocket s = open_socket();
    const IcmpOutcome out = s.echo(addr(kSimDest), 64);
    EXPECT_EQ(out.status, platform::kIcmpSuccess) << "not taken: waited out the time-out";
    EXPECT_EQ(out.from, addr(kSimUnnamedDest));
    EXPECT_GE(out.rtt_ms, 5u);
}

TEST_P(IcmpSocketNet, ThreadsWithTheirOwnSocketsNeverSeeEachOthersAnswers) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();
    netsim::Simulator& sim = *sim_owner;
    auto d = sim_route(kSimDest, 1, 2);  // router after 2 ms, destination after 4 ms
    sim.set_destination(d);
    constexpr int kThreads = 8, kProbes = 60;
    std::atomic<int> wrong{0}, lost{0};
    std::vector<std::string> faults;
    std::mutex mu;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            IcmpSocket s = IcmpSocket::open(GetParam());
            for (int i = 0; i < kProbes; ++i) {
                // Threads run in step with equal sequence numbers; alternate
                // TTLs out of phase so a crossed answer has the wrong kind.
                const bool to_router = (i + t) % 2 == 0;
                const IcmpOutcome out = s.echo(addr(kSimDest), to_router ? 1 : 64);
                const auto want_status = to_router ? platform::kIcmpTtlExpired : platform::kIcmpSuccess;
                const auto want_from = to_router ? addr(sim_hop_addr(1)) : addr(kSimDest);
                // No answer at all: a time-out, or a send the kernel refused
                // locally (no sender address) before the request left.
                if (out.status == platform::kIcmpTimedOut || out.from == Ipv4Addr()) {
                    ++lost;
                } else if (out.status != want_status || out.from != want_from || out.sequence != std::uint16_t(i + 1)) {
                    ++wrong;
                    std::lock_guard lock(mu);
                    faults.push_back("thread " + std::to_string(t) + " probe " + std::to_string(i) + ": status " +
                                     std::to_string(out.status) + " from " + out.from.to_string());
                }
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0) << (faults.empty() ? "" : faults.front());
    // A request the kernel dropped on the way into the device (a full queue
    // on a busy machine) is lost before anyone could answer it; every request
    // the simulator did answer must have been matched.
    const auto seen = sim.requests_seen(kSimDest, 1) + sim.requests_seen(kSimDest, 64);
    EXPECT_EQ(std::uint64_t(lost.load()), std::uint64_t(kThreads * kProbes) - seen)
        << "all requests seen: " << sim.counters().requests;
}

TEST_P(IcmpSocketNet, UnroutableDestinationFailsAtOnce) {
    CORVANE_REQUIRE_NETBED();
    IcmpSocket s = open_socket();
    const auto start = Clock::now();
    const IcmpOutcome out = s.echo(addr(kUnroutable), 64);
    EXPECT_EQ(out.status, platform::kIcmpNetUnreachable);
    EXPECT_LT(elapsed_ms(start), IcmpSocket::kTimeoutMs) << "waited out the time-out";

    KindHandle h(GetParam());
    EXPECT_TRUE(send_icmp_echo(h, addr(kUnroutable), 64).failed);
    // TTL 0 can't be sent.
    EXPECT_TRUE(send_icmp_echo(h, addr(kChainDest), 0).failed);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, IcmpSocketNet, ::testing::Values(IcmpSocketKind::ping, IcmpSocketKind::raw),
                         [](const auto& info) { return std::string(kind_name(info.param)); });

// Exit codes of the unprivileged child.
enum ChildResult { kOk = 0, kDropFailed = 10, kPingRefused = 11, kRawOpened = 12, kEchoFailed = 13, kFallbackNotPing = 14 };

TEST(IcmpSocketUnprivileged, PingSocketOpensAndProbesWhileRawIsRefused) {
    CORVANE_REQUIRE_NETBED();
    auto sim_owner = attach_simulator();  // serves the child's probe from this process
    netsim::Simulator& sim = *sim_owner;
    sim.set_destination(sim_route(kSimDest, 1));
    const Ipv4Addr dest = addr(kSimDest);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The child only makes system calls and leaves with _exit.
        if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            _exit(kDropFailed);
        IcmpSocket raw = IcmpSocket::open(IcmpSocketKind::raw);
        if (raw.valid()) _exit(kRawOpened);
        IcmpSocket any = IcmpSocket::open();
        if (!any.valid()) _exit(kPingRefused);
        if (any.kind() != IcmpSocketKind::ping) _exit(kFallbackNotPing);
        if (any.echo(dest, 64).status != platform::kIcmpSuccess) _exit(kEchoFailed);
        if (any.echo(dest, 1).status != platform::kIcmpTtlExpired) _exit(kEchoFailed);
        _exit(kOk);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kOk);
}

}  // namespace
}  // namespace corvane::test
