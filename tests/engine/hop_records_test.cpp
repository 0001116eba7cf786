#include "engine/hop_records.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

constexpr std::nullopt_t kSilent = std::nullopt;
Ipv4Addr ip(std::uint8_t d) { return Ipv4Addr(10, 0, 0, d); }
const Ipv4Addr kDest{10, 1, 0, 9};

// Which records a new table takes from the old one after a change of length.
// The old table was built for `previous` and its probe threads have since
// written whoever answered into it (`old_addrs`); record i of it has sent
// 10 * (i + 1) probes, so a record is known by its count, 0 for a fresh one.
TEST(HopRecords, OnlyRecordsStillTheirRoutersOwnOutliveALengthChange) {
    struct Case {
        const char* what;
        Route previous;
        std::vector<std::optional<Ipv4Addr>> old_addrs;
        Route route;
        std::vector<std::uint32_t> sent;
    };
    const Case cases[] = {
        // r3 now answers hop 2's probes and the destination hop 3's.
        {"shorter, after the probes saw it",
         {ip(1), ip(2), ip(3), kDest}, {ip(1), ip(3), kDest, kDest}, {ip(1), ip(3), kDest}, {10, 0, 40}},
        {"shorter, before any probe saw it",
         {ip(1), ip(2), ip(3), kDest}, {ip(1), ip(2), ip(3), kDest}, {ip(1), ip(3), kDest}, {10, 0, 40}},
        // The destination's old time-to-live reaches a router now.
        {"longer, after the probes saw it",
         {ip(1), ip(3), kDest}, {ip(1), ip(2), ip(3)}, {ip(1), ip(2), ip(3), kDest}, {10, 0, 0, 0}},
        {"longer, before any probe saw it",
         {ip(1), ip(3), kDest}, {ip(1), ip(3), kDest}, {ip(1), ip(2), ip(3), kDest}, {10, 0, 0, 30}},
        {"a hop silent at discovery that answered since",
         {ip(1), kSilent, kDest}, {ip(1), ip(2), kDest}, {ip(1), ip(2), ip(4), kDest}, {10, 0, 0, 30}},
        {"a route that doesn't reach the destination",
         {ip(1), ip(2), ip(3)}, {ip(1), ip(2), ip(3)}, {ip(1), ip(3)}, {10, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<HopStats> records(c.old_addrs.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            records[i].addr = c.old_addrs[i];
            records[i].sent = static_cast<std::uint32_t>(10 * (i + 1));
        }
        HopList old;
        old = std::move(records);
        const std::vector<HopStats> hops = carry_hop_records(old, c.previous, c.route, kDest);
        ASSERT_EQ(hops.size(), c.route.size());
        std::vector<std::uint32_t> sent;
        for (std::size_t j = 0; j < hops.size(); ++j) {
            EXPECT_EQ(hops[j].addr, c.route[j]) << "hop " << j + 1;
            sent.push_back(hops[j].sent);
        }
        EXPECT_EQ(sent, c.sent);
    }
}

}  // namespace
}  // namespace corvane
