#include <gtest/gtest.h>

#include <cstring>

#include <linux/errqueue.h>
#include <netinet/in.h>

#include "platform/icmp_round_trip.h"

namespace corvane::platform {
namespace {

constexpr std::int64_t kMs = 1'000'000;

// The wall clock can be stepped while an echo is out: a stamped figure is
// taken only where it can be right, and the monotonic one stands in for it.
TEST(IcmpRoundTrip, StampedWhereItMakesSenseElseMonotonic) {
    struct Case {
        const char* what;
        std::int64_t monotonic_ns;
        std::optional<std::int64_t> stamped_ns;
        std::uint32_t ms;
        bool stamped;
    } cases[] = {
        {"stamp, truncated to whole ms", 12 * kMs + 900'000, 10 * kMs + 999'999, 10, true},
        {"stamp equal to the monotonic figure", 7 * kMs, 7 * kMs, 7, true},
        {"a kernel router's answer: 0 ms, not a loss", 150'000, 20'000, 0, true},
        {"no stamp", 12 * kMs + 900'000, std::nullopt, 12, false},
        {"clock stepped back: negative", 12 * kMs, -3'600'000 * kMs, 12, false},
        {"clock stepped forward: longer than it took", 12 * kMs, 12 * kMs + 1, 12, false},
    };
    for (const Case& c : cases) {
        const RoundTrip rt = round_trip(c.monotonic_ns, c.stamped_ns);
        EXPECT_EQ(rt.ms, c.ms) << c.what;
        EXPECT_EQ(rt.stamped, c.stamped) << c.what;
    }
}

// Control data as recvmsg hands it over: an extended error first, then the
// stamps; entry 0 is the software stamp, all zero when the kernel had none.
TEST(IcmpRoundTrip, SoftwareStampIsReadFromTheControlData) {
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(sock_extended_err)) + CMSG_SPACE(sizeof(scm_timestamping))];
    const auto message = [&](timespec software) {
        std::memset(control, 0, sizeof control);
        msghdr msg{};
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = SOL_IP;
        c->cmsg_type = IP_RECVERR;
        c->cmsg_len = CMSG_LEN(sizeof(sock_extended_err));
        c = CMSG_NXTHDR(&msg, c);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_TIMESTAMPING;
        c->cmsg_len = CMSG_LEN(sizeof(scm_timestamping));
        scm_timestamping ts{};
        ts.ts[0] = software;
        ts.ts[2] = timespec{9, 9};  // a hardware stamp is not ours to use
        std::memcpy(CMSG_DATA(c), &ts, sizeof ts);
        return msg;
    };
    EXPECT_EQ(receive_stamp_ns(message(timespec{1'700'000'000, 123'456'789})),
              std::int64_t(1'700'000'000) * 1'000'000'000 + 123'456'789);
    EXPECT_EQ(receive_stamp_ns(message(timespec{0, 0})), std::nullopt);
    msghdr none{};
    EXPECT_EQ(receive_stamp_ns(none), std::nullopt);
}

}  // namespace
}  // namespace corvane::platform
