#include <gtest/gtest.h>

#include <cerrno>
#include <span>

#include "icmp_test_packets.h"
#include "platform/icmp_packet.h"

namespace corvane::platform {
namespace {

using test::raw_error;
using test::raw_reply;

const Ipv4Addr kMe(10, 77, 255, 254);
const Ipv4Addr kDest(10, 77, 100, 1);
const Ipv4Addr kRouter(10, 77, 1, 2);
constexpr std::uint16_t kId = 0x1234;
constexpr std::uint16_t kSeq = 7;

TEST(IcmpStatus, TypeAndCodeMapToTheOutcomeTable) {
    struct Case {
        std::uint8_t type, code;
        std::uint32_t status;
    } cases[] = {
        {11, 0, kIcmpTtlExpired},          {11, 1, kIcmpReassemblyExpired},
        {3, 0, kIcmpNetUnreachable},       {3, 6, kIcmpNetUnreachable},
        {3, 9, kIcmpNetUnreachable},       {3, 11, kIcmpNetUnreachable},
        {3, 1, kIcmpHostUnreachable},      {3, 7, kIcmpHostUnreachable},
        {3, 10, kIcmpHostUnreachable},     {3, 12, kIcmpHostUnreachable},
        {3, 2, kIcmpProtocolUnreachable},  {3, 3, kIcmpPortUnreachable},
        {12, 0, kIcmpParameterProblem},    {5, 0, kIcmpGeneralFailure},
    };
    for (const auto& c : cases)
        EXPECT_EQ(status_for_icmp_error(c.type, c.code), c.status) << int(c.type) << "/" << int(c.code);

    EXPECT_EQ(status_for_errno(ENETUNREACH), kIcmpNetUnreachable);
    EXPECT_EQ(status_for_errno(EHOSTUNREACH), kIcmpHostUnreachable);
    EXPECT_EQ(status_for_errno(EPERM), kIcmpGeneralFailure);
}

TEST(IcmpRequest, CarriesIdSequencePayloadAndAValidChecksum) {
    for (auto [id, seq] : {std::pair<std::uint16_t, std::uint16_t>{0x1234, 1}, {0xffff, 0xffff}, {0, 0}, {0x0102, 0x8000}}) {
        const EchoRequest r = make_echo_request(id, seq);
        ASSERT_EQ(r.size(), 40u);
        EXPECT_EQ(r[0], 8);
        EXPECT_EQ(r[1], 0);
        EXPECT_EQ((r[4] << 8) | r[5], id);
        EXPECT_EQ((r[6] << 8) | r[7], seq);
        for (std::size_t i = 8; i < r.size(); ++i) ASSERT_EQ(r[i], 'J');
        // A correct checksum makes the sum over the whole message come out zero.
        EXPECT_EQ(internet_checksum(r), 0) << id << " " << seq;
    }
    // Odd length pads with a zero byte (RFC 1071 example words).
    const std::uint8_t odd[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6};
    EXPECT_EQ(internet_checksum(odd), 0x2304);
    const std::uint8_t even[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
    EXPECT_EQ(internet_checksum(even), 0x220d);
}

TEST(RawPacketParse, ReadsRepliesAndQuotedErrors) {
    const auto reply = parse_raw_packet(raw_reply(kDest, kMe, kId, kSeq));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->type, 0);
    EXPECT_EQ(reply->id, kId);
    EXPECT_EQ(reply->sequence, kSeq);
    EXPECT_EQ(reply->from, kDest);
    EXPECT_EQ(reply->target, kDest);

    // Options in the outer and in the quoted header move every offset.
    for (std::size_t outer : {0u, 4u, 40u}) {
        for (std::size_t inner : {0u, 8u}) {
            const auto ev = parse_raw_packet(raw_error(11, 0, kRouter, kMe, kDest, kId, kSeq, outer, inner));
            ASSERT_TRUE(ev) << outer << "/" << inner;
            EXPECT_EQ(ev->type, 11);
            EXPECT_EQ(ev->from, kRouter);
            EXPECT_EQ(ev->target, kDest);
            EXPECT_EQ(ev->id, kId);
            EXPECT_EQ(ev->sequence, kSeq);
            EXPECT_EQ(status_for_event(*ev), kIcmpTtlExpired);
        }
    }
    const auto unreach = parse_raw_packet(raw_error(3, 1, kRouter, kMe, kDest, kId, kSeq));
    ASSERT_TRUE(unreach);
    EXPECT_EQ(status_for_event(*unreach), kIcmpHostUnreachable);
}

TEST(RawPacketParse, RejectsMalformedPacketsWithoutReadingPastThem) {
    const auto good = raw_error(11, 0, kRouter, kMe, kDest, kId, kSeq);
    // Every truncation short of the quoted echo header is refused.
    for (std::size_t len = 0; len < good.size(); ++len) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(len));
        EXPECT_FALSE(parse_raw_packet(cut)) << len;
    }
    struct Case {
        const char* what;
        std::vector<std::uint8_t> packet;
    };
    std::vector<Case> cases;
    auto mutate = [&](const char* what, auto fn, std::vector<std::uint8_t> p) {
        fn(p);
        cases.push_back({what, std::move(p)});
    };
    mutate("outer IHL below 20", [](auto& p) { p[0] = 0x44; }, good);
    mutate("outer IHL past the end", [](auto& p) { p[0] = 0x4f; }, std::vector<std::uint8_t>(good.begin(), good.begin() + 40));
    mutate("not IPv4", [](auto& p) { p[0] = 0x65; }, good);
    mutate("outer protocol UDP", [](auto& p) { p[9] = 17; }, good);
    mutate("total length too small", [](auto& p) { test::put_u16(p, 2, 27); }, good);
    mutate("total length hides the quote", [](auto& p) { test::put_u16(p, 2, 40); }, good);
    mutate("inner IHL below 20", [](auto& p) { p[28] = 0x43; }, good);
    mutate("inner not IPv4", [](auto& p) { p[28] = 0x55; }, good);
    mutate("quoted echo reply, not request", [](auto& p) { p[48] = 0; }, good);
    mutate("echo request itself", [](auto& p) { p[20] = 8; }, raw_reply(kDest, kMe, kId, kSeq));
    mutate("other ICMP type", [](auto& p) { p[20] = 5; }, good);
    cases.push_back({"quote of UDP", raw_error(3, 3, kRouter, kMe, kDest, kId, kSeq, 0, 0, 17)});
    for (const auto& c : cases) EXPECT_FALSE(parse_raw_packet(c.packet)) << c.what;

    // Trailing padding beyond the IP total length is ignored, not parsed.
    auto padded = raw_reply(kDest, kMe, kId, kSeq);
    padded.resize(padded.size() + 30, 0xee);
    EXPECT_TRUE(parse_raw_packet(padded));
}

TEST(PingSocketParse, RepliesAndErrorQueueEntries) {
    const auto reply_bytes = test::echo_header(0, 999, kSeq);
    const auto reply = parse_ping_reply(reply_bytes, kDest);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->sequence, kSeq);
    EXPECT_EQ(reply->from, kDest);
    EXPECT_FALSE(parse_ping_reply(std::span(reply_bytes).first(7), kDest));
    EXPECT_FALSE(parse_ping_reply(test::echo_header(8, 999, kSeq), kDest));

    const auto quoted = test::echo_header(8, 999, kSeq);
    const auto err = parse_ping_error(quoted, kDest, 11, 0, kRouter);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->from, kRouter);
    EXPECT_EQ(err->target, kDest);
    EXPECT_EQ(err->sequence, kSeq);
    EXPECT_FALSE(parse_ping_error(std::span(quoted).first(4), kDest, 11, 0, kRouter));
    EXPECT_FALSE(parse_ping_error(test::echo_header(0, 999, kSeq), kDest, 11, 0, kRouter));
}

TEST(EventMatching, OnlyTheAnswerToTheCurrentRequestCounts) {
    IcmpEvent reply{0, 0, kId, kSeq, kDest, kDest};
    IcmpEvent exceeded{11, 0, kId, kSeq, kRouter, kDest};
    struct Case {
        const char* what;
        IcmpEvent ev;
        bool answers;
    } cases[] = {
        {"reply", reply, true},
        {"time exceeded from a router", exceeded, true},
        {"time exceeded from the destination itself", {11, 0, kId, kSeq, kDest, kDest}, true},
        {"stale sequence", {0, 0, kId, kSeq - 1, kDest, kDest}, false},
        {"stale error", {11, 0, kId, kSeq - 1, kRouter, kDest}, false},
        // Another address may answer for the one probed; the caller decides.
        {"reply from another address", {0, 0, kId, kSeq, kRouter, kRouter}, true},
        {"error about another destination", {11, 0, kId, kSeq, kRouter, kRouter}, false},
        // A ping socket's requests and answers carry the id the kernel gave it.
        {"reply with another id", {0, 0, kId + 1, kSeq, kDest, kDest}, false},
        {"error quoting another id", {11, 0, kId + 1, kSeq, kRouter, kDest}, false},
        {"an echo request is never an answer", {8, 0, kId, kSeq, kDest, kDest}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(event_answers(c.ev, kDest, kId, kSeq), c.answers) << c.what;
    EXPECT_EQ(status_for_event(reply), kIcmpSuccess);
    EXPECT_EQ(status_for_event(exceeded), kIcmpTtlExpired);
}

}  // namespace
}  // namespace corvane::platform
