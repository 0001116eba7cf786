// Runs the raw socket's BPF program in a small user-space interpreter of the
// classic BPF instructions, so the filter's offsets are tried on crafted
// packets without privileges.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "icmp_test_packets.h"
#include "platform/icmp_filter.h"
#include "platform/icmp_packet.h"

namespace corvane::platform {
namespace {

using test::raw_error;
using test::raw_reply;

// Returns the accepted length (0 = dropped) as the kernel would, or nullopt
// for an instruction this interpreter doesn't know (a test failure).
std::optional<std::uint32_t> run_bpf(const std::vector<sock_filter>& prog, const std::vector<std::uint8_t>& pkt) {
    std::uint32_t a = 0, x = 0;
    auto load = [&](std::uint32_t off, int size, std::uint32_t& out) {
        if (std::uint64_t(off) + std::uint64_t(size) > pkt.size()) return false;
        out = 0;
        for (int i = 0; i < size; ++i) out = (out << 8) | pkt[off + std::uint32_t(i)];
        return true;
    };
    for (std::size_t pc = 0; pc < prog.size(); ++pc) {
        const sock_filter& f = prog[pc];
        const std::uint32_t k = f.k;
        const int size = BPF_SIZE(f.code) == BPF_B ? 1 : BPF_SIZE(f.code) == BPF_H ? 2 : 4;
        switch (BPF_CLASS(f.code)) {
        case BPF_LD:
            if (BPF_MODE(f.code) == BPF_ABS) {
                if (!load(k, size, a)) return 0u;
            } else if (BPF_MODE(f.code) == BPF_IND) {
                if (!load(x + k, size, a)) return 0u;
            } else if (BPF_MODE(f.code) == BPF_IMM) {
                a = k;
            } else {
                return std::nullopt;
            }
            break;
        case BPF_LDX:
            if (BPF_MODE(f.code) == BPF_MSH) {
                if (k >= pkt.size()) return 0u;
                x = std::uint32_t(pkt[k] & 0x0f) * 4;
            } else if (BPF_MODE(f.code) == BPF_IMM) {
                x = k;
            } else {
                return std::nullopt;
            }
            break;
        case BPF_ALU: {
            const std::uint32_t v = BPF_SRC(f.code) == BPF_X ? x : k;
            switch (BPF_OP(f.code)) {
            case BPF_ADD: a += v; break;
            case BPF_SUB: a -= v; break;
            case BPF_AND: a &= v; break;
            case BPF_OR: a |= v; break;
            case BPF_LSH: a <<= v; break;
            case BPF_RSH: a >>= v; break;
            default: return std::nullopt;
            }
            break;
        }
        case BPF_JMP: {
            if (BPF_OP(f.code) == BPF_JA) {
                pc += k;
                break;
            }
            const std::uint32_t v = BPF_SRC(f.code) == BPF_X ? x : k;
            bool taken = false;
            switch (BPF_OP(f.code)) {
            case BPF_JEQ: taken = a == v; break;
            case BPF_JGT: taken = a > v; break;
            case BPF_JGE: taken = a >= v; break;
            case BPF_JSET: taken = (a & v) != 0; break;
            default: return std::nullopt;
            }
            pc += taken ? f.jt : f.jf;
            break;
        }
        case BPF_RET:
            return BPF_RVAL(f.code) == BPF_A ? a : k;
        case BPF_MISC:
            if (BPF_MISCOP(f.code) == BPF_TAX) x = a;
            else a = x;
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;  // fell off the end: the kernel refuses such a program
}

const Ipv4Addr kMe(10, 77, 255, 254);
const Ipv4Addr kDest(10, 77, 100, 1);
const Ipv4Addr kRouter(10, 77, 1, 3);
constexpr std::uint16_t kId = 0xbeef;

TEST(RawEchoFilter, KeepsOnlyOurRepliesAndErrorsQuotingOurEcho) {
    const auto prog = raw_echo_filter(kId);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> packet;
        bool accept;
    };
    auto reply_other_type = raw_reply(kDest, kMe, kId, 1);
    reply_other_type[20] = 5;  // redirect
    auto quoted_reply = raw_error(11, 0, kRouter, kMe, kDest, kId, 1);
    quoted_reply[48] = 0;  // quote of an echo reply, not a request
    auto truncated = raw_error(11, 0, kRouter, kMe, kDest, kId, 1);
    truncated.resize(52);  // ends inside the quoted id
    const Case cases[] = {
        {"our reply", raw_reply(kDest, kMe, kId, 1), true},
        {"our reply, outer options", raw_reply(kDest, kMe, kId, 1, 12), true},
        {"someone else's reply", raw_reply(kDest, kMe, kId ^ 1, 1), false},
        {"time exceeded quoting our echo", raw_error(11, 0, kRouter, kMe, kDest, kId, 9), true},
        {"unreachable quoting our echo", raw_error(3, 1, kRouter, kMe, kDest, kId, 9), true},
        {"both headers with options", raw_error(11, 0, kRouter, kMe, kDest, kId, 9, 8, 16), true},
        {"error quoting another id", raw_error(11, 0, kRouter, kMe, kDest, kId + 1, 9), false},
        {"error quoting another id behind inner options", raw_error(11, 0, kRouter, kMe, kDest, kId + 1, 9, 0, 4), false},
        {"error quoting UDP", raw_error(3, 3, kRouter, kMe, kDest, kId, 9, 0, 0, 17), false},
        {"error quoting an echo reply", quoted_reply, false},
        {"other ICMP type", reply_other_type, false},
        {"error cut inside the quote", truncated, false},
        {"empty packet", {}, false},
    };
    for (const auto& c : cases) {
        const auto verdict = run_bpf(prog, c.packet);
        ASSERT_TRUE(verdict) << c.what << ": the interpreter met an unknown instruction";
        EXPECT_EQ(*verdict != 0, c.accept) << c.what;
    }
}

TEST(RawEchoFilter, NeverDropsWhatTheParserWouldAccept) {
    // Mutate good packets at random; whenever the parser still sees an
    // answer carrying our id, the kernel filter must have let it through.
    const auto prog = raw_echo_filter(kId);
    const std::vector<std::vector<std::uint8_t>> seeds = {
        raw_reply(kDest, kMe, kId, 3),
        raw_error(11, 0, kRouter, kMe, kDest, kId, 3),
        raw_error(3, 1, kRouter, kMe, kDest, kId, 3, 4, 8),
    };
    std::mt19937 rng(1234);
    int accepted_by_parser = 0;
    for (int round = 0; round < 20000; ++round) {
        auto p = seeds[std::size_t(round) % seeds.size()];
        const int edits = 1 + int(rng() % 3);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % p.size();
            // Bias the header nibbles toward small plausible values.
            p[at] = at == 0 || at == 28 ? std::uint8_t(0x40 | (rng() % 16)) : std::uint8_t(rng());
        }
        if (rng() % 4 == 0) p.resize(rng() % (p.size() + 1));
        const auto ev = parse_raw_packet(p);
        const auto verdict = run_bpf(prog, p);
        ASSERT_TRUE(verdict);
        if (ev && ev->id == kId) {
            ++accepted_by_parser;
            EXPECT_NE(*verdict, 0u) << "round " << round;
        }
    }
    EXPECT_GT(accepted_by_parser, 1000);  // the mutations left enough valid packets to mean something
}

}  // namespace
}  // namespace corvane::platform
