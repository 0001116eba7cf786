#include "platform/icmp_filter.h"

namespace corvane::platform {
namespace {

constexpr sock_filter stmt(std::uint16_t code, std::uint32_t k) { return sock_filter{code, 0, 0, k}; }
constexpr sock_filter jump(std::uint16_t code, std::uint32_t k, std::uint8_t jt, std::uint8_t jf) {
    return sock_filter{code, jt, jf, k};
}

}  // namespace

std::vector<sock_filter> raw_echo_filter(std::uint16_t id) {
    // The packet starts with the outer IP header. Out-of-range loads make
    // the kernel drop the packet, so truncated packets need no own checks.
    // Jump offsets count instructions after the jump.
    return {
        /* 0 */ stmt(BPF_LDX | BPF_B | BPF_MSH, 0),           // X = outer header length
        /* 1 */ stmt(BPF_LD | BPF_B | BPF_IND, 0),            // A = ICMP type
        /* 2 */ jump(BPF_JMP | BPF_JEQ | BPF_K, 0, 0, 2),     // not a reply -> 5
        // Echo reply: our id at X+4.
        /* 3 */ stmt(BPF_LD | BPF_H | BPF_IND, 4),
        /* 4 */ jump(BPF_JMP | BPF_JEQ | BPF_K, id, 13, 14),  // -> accept / drop
        /* 5 */ jump(BPF_JMP | BPF_JEQ | BPF_K, 3, 1, 0),     // unreachable -> 7
        /* 6 */ jump(BPF_JMP | BPF_JEQ | BPF_K, 11, 0, 12),   // neither -> drop
        // Error: the quoted IP header starts at X+8 and must carry ICMP.
        /* 7 */ stmt(BPF_LD | BPF_B | BPF_IND, 8 + 9),
        /* 8 */ jump(BPF_JMP | BPF_JEQ | BPF_K, 1, 0, 10),
        /* 9 */ stmt(BPF_LD | BPF_B | BPF_IND, 8),            // inner version/IHL byte
        /* 10 */ stmt(BPF_ALU | BPF_AND | BPF_K, 0x0f),
        /* 11 */ stmt(BPF_ALU | BPF_LSH | BPF_K, 2),
        /* 12 */ stmt(BPF_ALU | BPF_ADD | BPF_X, 0),          // A = outer + inner header lengths
        /* 13 */ stmt(BPF_MISC | BPF_TAX, 0),
        // The quoted ICMP header, at X+8: an echo request with our id.
        /* 14 */ stmt(BPF_LD | BPF_B | BPF_IND, 8),
        /* 15 */ jump(BPF_JMP | BPF_JEQ | BPF_K, 8, 0, 3),
        /* 16 */ stmt(BPF_LD | BPF_H | BPF_IND, 8 + 4),
        /* 17 */ jump(BPF_JMP | BPF_JEQ | BPF_K, id, 0, 1),
        /* 18 */ stmt(BPF_RET | BPF_K, kFilterAccept),
        /* 19 */ stmt(BPF_RET | BPF_K, 0),
    };
}

}  // namespace corvane::platform
