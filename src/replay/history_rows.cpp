#include "replay/history_rows.h"

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
bool eight_digits_word(std::uint64_t w, std::uint64_t& out) {
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

bool eight_digits(const char* p, std::uint64_t& out) {
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

std::string_view trimmed(std::string_view field) {
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
    parse_fields(f);
}

// Finds the commas and line feeds in two steps: first their offsets in a
// stretch of text, 64 bytes at a time and without a branch per delimiter,
// then the lines from those offsets. Looping over each block's delimiters
// directly mispredicted the loop's end in almost every block.
const char* HistoryRowParser::parse_lines(const char* begin, const char* end) {
    const char* line = begin;
    const char* commas[7];
    int count = 0;
    const auto on_delimiter = [&](const char* q) {
        if (*q == '\n') {
            if (header_seen_) {
                line_with_commas(line, q, commas, count);
            } else {
                header_seen_ = true;
            }
            line = q + 1;
            count = 0;
        } else if (count < 7) {
            commas[count++] = q;
        }
    };
    const char* p = begin;
#if defined(__SSE2__)
    constexpr std::size_t kStretch = 4096;
    std::uint16_t at[kStretch + 8];
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i feed = _mm_set1_epi8('\n');
    const auto delimiters16 = [&](const char* q) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        return static_cast<std::uint64_t>(static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, feed)))));
    };
    while (end - p >= 64) {
        const auto whole = static_cast<std::size_t>(end - p) / 64 * 64;
        const char* const stretch_end = p + (whole < kStretch ? whole : kStretch);
        std::size_t n = 0;
        for (const char* q = p; q < stretch_end; q += 64) {
            std::uint64_t m = delimiters16(q) | (delimiters16(q + 16) << 16) | (delimiters16(q + 32) << 32) |
                              (delimiters16(q + 48) << 48);
            const auto base = static_cast<std::uint16_t>(q - p);
            const std::size_t found = bit_count(m);
            // Eight slots are written whether used or not; more is rare.
            for (std::size_t k = 0; k < 8; ++k) {
                at[n + k] = static_cast<std::uint16_t>(base + std::countr_zero(m));
                m &= m - 1;
            }
            for (std::size_t k = 8; k < found; ++k) {
                at[n + k] = static_cast<std::uint16_t>(base + std::countr_zero(m));
                m &= m - 1;
            }
            n += found;
        }
        for (std::size_t i = 0; i < n; ++i) on_delimiter(p + at[i]);
        p = stretch_end;
    }
#endif
    for (; p < end; ++p) {
        if (*p == ',' || *p == '\n') on_delimiter(p);
    }
    return line;
}

void HistoryRowParser::parse_fields(const std::string_view (&f)[7]) {
    std::int64_t time_ms;
    if (!unix_ms_of(trimmed(f[1]), time_ms)) return;
    std::uint64_t hop;
    if (!unsigned_of(trimmed(f[3]), kMaxReplayHop, hop) || hop < 1) return;

    const std::string_view target = trimmed(f[2]);
    if (title_.empty() && !target.empty()) title_.assign(target);
    if (is_watch_) {
        if (host_names_.size() < hop) host_names_.resize(hop);
        auto& name = host_names_[hop - 1];
        if (!name) name.emplace(target);
    }

    std::uint8_t flags = 0;
    std::uint32_t addr = 0;
    if (dotted_ipv4_of(trimmed(f[4]), addr)) flags |= PackedSample::kHasAddr;
    std::uint64_t rtt = 0;
    if (trimmed(f[6]) == "ok" && unsigned_of(trimmed(f[5]), UINT32_MAX, rtt)) {
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
