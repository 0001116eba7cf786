#include "replay/history_rows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "replay/utf8_text.h"

namespace corvane {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The baseline x86-64 target has no popcnt instruction, and the library
// call in its place showed in profiles.
inline std::size_t bit_count(std::uint64_t m) {
    m = m - ((m >> 1) & 0x5555555555555555ULL);
    m = (m & 0x3333333333333333ULL) + ((m >> 2) & 0x3333333333333333ULL);
    m = (m + (m >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<std::size_t>((m * 0x0101010101010101ULL) >> 56);
}

// Eight ASCII digits at once (little-endian load), or false when any byte is
// not a digit.
[[gnu::always_inline]] inline bool eight_digits_word(std::uint64_t w, std::uint64_t& out) {
    if (((w & 0xF0F0F0F0F0F0F0F0ULL) | (((w + 0x0606060606060606ULL) & 0xF0F0F0F0F0F0F0F0ULL) >> 4)) !=
        0x3333333333333333ULL) {
        return false;
    }
    w -= 0x3030303030303030ULL;
    w = (w * 10) + (w >> 8);
    w = (((w & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
         (((w >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
        32;
    out = w;
    return true;
}

[[gnu::always_inline]] inline bool eight_digits(const char* p, std::uint64_t& out) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return eight_digits_word(w, out);
}

// Digits only, at least one, no overflow of max. Kept inline and free of
// std::optional: this runs three times per row, and returning through memory
// cost a store-forwarding stall each time.
[[gnu::always_inline]] inline bool parse_digits(std::string_view d, std::uint64_t max, std::uint64_t& out) {
    const std::size_t n = d.size();
    if (n == 0) return false;
    std::uint64_t v = 0;
    if (n >= 8 && n <= 16) {
        // Unix times have 13 digits: the first eight, then the last eight
        // with the bytes they share with the first replaced by leading zeros.
        std::uint64_t hi;
        if (!eight_digits(d.data(), hi)) return false;
        v = hi;
        if (n > 8) {
            std::uint64_t w;
            std::memcpy(&w, d.data() + n - 8, 8);
            const std::uint64_t shared = (std::uint64_t(1) << ((16 - n) * 8)) - 1;  // first bytes, little-endian
            w = (w & ~shared) | (0x3030303030303030ULL & shared);
            std::uint64_t lo;
            if (!eight_digits_word(w, lo)) return false;
            static constexpr std::uint64_t kPow10[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000,
                                                        100000000};
            v = hi * kPow10[n - 8] + lo;
        }
    } else if (n <= 19) {
        // Nineteen digits fit in 64 bits without overflow.
        for (char c : d) {
            const auto digit = static_cast<unsigned char>(c - '0');
            if (digit > 9) return false;
            v = v * 10 + digit;
        }
    } else {
        for (char c : d) {
            const auto digit = static_cast<unsigned char>(c - '0');
            if (digit > 9) return false;
            if (__builtin_mul_overflow(v, 10u, &v) || __builtin_add_overflow(v, digit, &v)) return false;
        }
    }
    if (v > max) return false;
    out = v;
    return true;
}

[[gnu::always_inline]] inline bool unix_ms_of(std::string_view text, std::int64_t& out) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::uint64_t limit = negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX);
    std::uint64_t v;
    if (!parse_digits(text, limit, v)) return false;
    out = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
    return true;
}

[[gnu::always_inline]] inline bool unsigned_of(std::string_view text, std::uint64_t max, std::uint64_t& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return parse_digits(text, max, out);
}

// Strict dotted decimal straight into the host-order value.
[[gnu::always_inline]] inline bool dotted_ipv4_of(std::string_view text, std::uint32_t& out) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (p == end || *p != '.') return false;
            ++p;
        }
        const char* const begin = p;
        unsigned v = 0;
        while (p != end && is_digit(*p) && p - begin < 3) v = v * 10 + unsigned(*p++ - '0');
        if (p == begin || v > 255 || (p - begin > 1 && *begin == '0')) return false;
        value = (value << 8) | v;
    }
    if (p != end) return false;
    out = value;
    return true;
}

// Digits only, one to four of them (hops and round trips), without a loop.
// Reads up to three bytes past the end of d, which must be readable.
[[gnu::always_inline]] inline bool short_digits_padded(std::string_view d, std::uint64_t max, std::uint64_t& out) {
    const std::size_t n = d.size();
    if (n == 0 || n > 4) return parse_digits(d, max, out);
    std::uint32_t raw;
    std::memcpy(&raw, d.data(), 4);
    // Keep the n digits as the last bytes, with leading zeros before them.
    const unsigned drop = static_cast<unsigned>(4 - n) * 8;
    std::uint32_t w = static_cast<std::uint32_t>((std::uint64_t(raw) << drop) | (0x30303030ULL >> (n * 8)));
    if (((w & 0xF0F0F0F0U) | (((w + 0x06060606U) & 0xF0F0F0F0U) >> 4)) != 0x33333333U) return false;
    w -= 0x30303030U;
    w = (w * 10) + (w >> 8);  // byte 0: first pair, byte 2: second pair
    const std::uint64_t v = (w & 0xFF) * 100 + ((w >> 16) & 0xFF);
    if (v > max) return false;
    out = v;
    return true;
}

[[gnu::always_inline]] inline bool short_unsigned_padded(std::string_view text, std::uint64_t max,
                                                         std::uint64_t& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return short_digits_padded(text, max, out);
}

[[gnu::always_inline]] inline std::string_view trimmed(std::string_view field) {
    // Almost every field is already tight; only look further when an end
    // byte could be white space.
    if (field.empty()) return field;
    const auto f = static_cast<unsigned char>(field.front());
    const auto b = static_cast<unsigned char>(field.back());
    const bool maybe = f <= ' ' || f >= 0x80 || b <= ' ' || b >= 0x80;
    return maybe ? trim_field_space(field) : field;
}

}  // namespace

std::optional<std::int64_t> parse_unix_ms_field(std::string_view text) {
    std::int64_t v;
    if (!unix_ms_of(text, v)) return std::nullopt;
    return v;
}

std::optional<std::uint64_t> parse_u64_field(std::string_view text) {
    std::uint64_t v;
    if (!unsigned_of(text, UINT64_MAX, v)) return std::nullopt;
    return v;
}

std::optional<std::uint32_t> parse_u32_field(std::string_view text) {
    std::uint64_t v;
    if (!unsigned_of(text, UINT32_MAX, v)) return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

std::optional<Ipv4Addr> parse_dotted_ipv4(std::string_view text) {
    std::uint32_t v;
    if (!dotted_ipv4_of(text, v)) return std::nullopt;
    return Ipv4Addr::from_u32(v);
}

template <bool kPadded>
void HistoryRowParser::parse_fields(const std::string_view (&f)[7]) {
    // With kPadded, the hop is followed by at least ",,,\n" and the round
    // trip is read only when "ok" follows it: the bytes the padded readers
    // look at past a field are the line's own.
    std::int64_t time_ms;
    if (!unix_ms_of(trimmed(f[1]), time_ms)) return;
    std::uint64_t hop;
    const std::string_view hop_text = trimmed(f[3]);
    if (!(kPadded ? short_unsigned_padded(hop_text, kMaxReplayHop, hop) : unsigned_of(hop_text, kMaxReplayHop, hop)) ||
        hop < 1) {
        return;
    }

    const std::string_view target = trimmed(f[2]);
    if (title_.empty() && !target.empty()) title_.assign(target);
    if (is_watch_) {
        if (host_names_.size() < hop) host_names_.resize(hop);
        auto& name = host_names_[hop - 1];
        if (!name) name.emplace(target);
    }

    std::uint8_t flags = 0;
    std::uint32_t addr = 0;
    const std::string_view addr_text = trimmed(f[4]);
    if (kPadded && addr_text.size() >= 8 && addr_text.size() <= 16) {
        // A hop's address seldom changes from one row to the next: the text
        // seen last for this hop, compared as two overlapping words, spares
        // the parse.
        std::uint64_t head, tail;
        std::memcpy(&head, addr_text.data(), 8);
        std::memcpy(&tail, addr_text.data() + addr_text.size() - 8, 8);
        AddressMemo& memo = address_memo_[hop];
        if (memo.size == addr_text.size() && memo.head == head && memo.tail == tail) {
            addr = memo.value;
            flags |= PackedSample::kHasAddr;
        } else if (dotted_ipv4_of(addr_text, addr)) {
            memo = AddressMemo{head, tail, static_cast<std::uint32_t>(addr_text.size()), addr};
            flags |= PackedSample::kHasAddr;
        }
    } else if (dotted_ipv4_of(addr_text, addr)) {
        flags |= PackedSample::kHasAddr;
    }
    std::uint64_t rtt = 0;
    const std::string_view rtt_text = trimmed(f[5]);
    if (trimmed(f[6]) == "ok" &&
        (kPadded ? short_unsigned_padded(rtt_text, UINT32_MAX, rtt) : unsigned_of(rtt_text, UINT32_MAX, rtt))) {
        flags |= PackedSample::kHasRtt;
    } else {
        rtt = 0;
    }
    // Written field by field into its slot: a packed temporary copied over
    // stalled on store forwarding.
    samples_.emplace_back(time_ms, static_cast<std::uint32_t>(rtt), addr, static_cast<std::uint16_t>(hop), flags);
    if (time_ms >= last_time_) {
        last_time_ = time_ms;
    } else if (in_order_) {
        settle_late_row();
    }
}

void HistoryRowParser::parse_line(std::string_view line) {
    const char* commas[7];
    int count = 0;
    for (std::size_t i = 0; i < line.size() && count < 7; ++i) {
        if (line[i] == ',') commas[count++] = line.data() + i;
    }
    line_with_commas(line.data(), line.data() + line.size(), commas, count);
}

void HistoryRowParser::parse_last_line(std::string_view line) {
    if (!header_seen_) {
        header_seen_ = true;
        return;
    }
    parse_line(line);
}

void HistoryRowParser::line_with_commas(const char* begin, const char* end, const char* const* commas, int count) {
    if (count < 6) return;  // fewer than 7 fields
    std::string_view f[7];
    const char* p = begin;
    for (int k = 0; k < 6; ++k) {
        f[k] = std::string_view(p, static_cast<std::size_t>(commas[k] - p));
        p = commas[k] + 1;
    }
    f[6] = std::string_view(p, static_cast<std::size_t>((count > 6 ? commas[6] : end) - p));
    parse_fields<false>(f);
}

#if defined(__SSE2__)
namespace {

// Bit i set where byte i of the 64 bytes at q is c.
[[gnu::always_inline]] inline std::uint64_t byte_mask64(const char* q, __m128i c) {
    std::uint64_t m = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * k));
        m |= std::uint64_t(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c)))) << (16 * k);
    }
    return m;
}

}  // namespace
#endif

// One line at a time: the commas and the line feed of the 128 bytes from the
// line's start as bit masks, the fields straight from those. A row is some
// 80 bytes, so one window almost always holds it whole; the rare longer line
// and the buffer's last bytes take the plain per-line path.
const char* HistoryRowParser::parse_lines(const char* begin, const char* end) {
    const char* line = begin;
    if (!header_seen_) {
        const void* feed = std::memchr(line, '\n', static_cast<std::size_t>(end - line));
        if (!feed) return line;
        header_seen_ = true;
        line = static_cast<const char*>(feed) + 1;
    }
#if defined(__SSE2__)
    // The masks of a stretch of 64-byte blocks are found first, all at once
    // (no block waits for the one before), and each line's 128-byte window
    // is then cut from them with shifts.
    constexpr std::ptrdiff_t kWindow = 128;
    constexpr std::size_t kBlocks = 66;
    std::uint64_t comma_at[kBlocks + 1];
    std::uint64_t feed_at[kBlocks + 1];
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i lf = _mm_set1_epi8('\n');
    if (end - line >= kWindow && address_memo_.empty()) address_memo_.resize(kMaxReplayHop + 1);
    while (end - line >= kWindow) {
        const char* const base = line;
        const std::size_t blocks = std::min<std::size_t>(kBlocks, static_cast<std::size_t>(end - base) / 64);
        for (std::size_t i = 0; i < blocks; ++i) {
            comma_at[i] = byte_mask64(base + 64 * i, comma);
            feed_at[i] = byte_mask64(base + 64 * i, lf);
        }
        comma_at[blocks] = 0;
        feed_at[blocks] = 0;
        const char* const covered = base + 64 * blocks;
        while (covered - line >= kWindow) {
            const auto from = static_cast<std::size_t>(line - base);
            const std::size_t b = from / 64;
            const unsigned off = from % 64;
            // Bits [off, off + 128) of the stretch; the double shift gives 0
            // for off = 0 where a shift by 64 would be undefined.
            const auto window = [&](const std::uint64_t* m, std::uint64_t& lo, std::uint64_t& hi) {
                lo = (m[b] >> off) | ((m[b + 1] << 1) << (63 - off));
                hi = (m[b + 1] >> off) | ((m[b + 2] << 1) << (63 - off));
            };
            std::uint64_t feed_lo, feed_hi, comma_lo, comma_hi;
            window(feed_at, feed_lo, feed_hi);
            if ((feed_lo | feed_hi) == 0) {
                // A long line: the plain path, for this line only.
                const void* found =
                    std::memchr(line + kWindow, '\n', static_cast<std::size_t>(end - line - kWindow));
                if (!found) return line;
                const char* const feed = static_cast<const char*>(found);
                parse_line(std::string_view(line, static_cast<std::size_t>(feed - line)));
                line = feed + 1;
                break;  // the masks no longer start where needed
            }
            window(comma_at, comma_lo, comma_hi);
            const unsigned feed = feed_lo ? static_cast<unsigned>(std::countr_zero(feed_lo))
                                          : 64 + static_cast<unsigned>(std::countr_zero(feed_hi));
            // Only the commas before the line feed belong to this line.
            if (feed < 64) {
                comma_lo &= (std::uint64_t(1) << feed) - 1;
                comma_hi = 0;
            } else {
                comma_hi &= (std::uint64_t(1) << (feed - 64)) - 1;
            }
            parse_window_line(line, comma_lo, comma_hi, feed);
            line += feed + 1;
        }
    }
#endif
    for (;;) {
        const void* found = std::memchr(line, '\n', static_cast<std::size_t>(end - line));
        if (!found) break;
        const char* const feed = static_cast<const char*>(found);
        parse_line(std::string_view(line, static_cast<std::size_t>(feed - line)));
        line = feed + 1;
    }
    return line;
}

void HistoryRowParser::parse_window_line(const char* line, std::uint64_t comma_lo, std::uint64_t comma_hi,
                                         unsigned feed) {
    if (bit_count(comma_lo) + bit_count(comma_hi) < 6) return;  // fewer than 7 fields
    unsigned at[7];
    for (int k = 0; k < 7; ++k) {
        if (comma_lo) {
            at[k] = static_cast<unsigned>(std::countr_zero(comma_lo));
            comma_lo &= comma_lo - 1;
        } else if (comma_hi) {
            at[k] = 64 + static_cast<unsigned>(std::countr_zero(comma_hi));
            comma_hi &= comma_hi - 1;
        } else {
            at[k] = feed;  // the seventh field ends the line
        }
    }
    std::string_view f[7];
    unsigned from = 0;
    for (int k = 0; k < 7; ++k) {
        f[k] = std::string_view(line + from, at[k] - from);
        from = at[k] + 1;
    }
    parse_fields<true>(f);
}

// Rows written by many probe threads under one lock arrive out of order by a
// round trip or so. Moving each such row back into place while the block's
// tail is still in cache costs far less than sorting afterwards, and gives
// exactly the stable order. A row from much further back, or too many moves
// in all, hands the work to one stable sort at the end instead.
void HistoryRowParser::settle_late_row() {
    constexpr std::size_t kMaxDistance = 4096;
    constexpr std::size_t kMovesPerRow = 32;
    constexpr std::size_t kFreeMoves = 1 << 16;
    const std::size_t allowed = kMovesPerRow * samples_.size() + kFreeMoves;
    const std::size_t left = allowed > moves_ ? allowed - moves_ : 0;
    const std::size_t moved = samples_.settle_last(left < kMaxDistance ? left : kMaxDistance);
    if (moved == ReplaySamples::npos) {
        in_order_ = false;
    } else {
        moves_ += moved;
    }
}

}  // namespace corvane
