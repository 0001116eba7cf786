#include "replay/utf8_text.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {

namespace {

// Lead byte: how many continuation bytes follow, and the allowed range of the
// first one (which rules out overlong forms, surrogates and values above
// U+10FFFF). need = -1 marks a byte that can't start a character.
struct Lead {
    int need;
    std::uint8_t lo, hi;
};

Lead classify_lead(std::uint8_t b) {
    if (b < 0x80) return {0, 0x80, 0xBF};
    if (b < 0xC2) return {-1, 0, 0};
    if (b < 0xE0) return {1, 0x80, 0xBF};
    if (b == 0xE0) return {2, 0xA0, 0xBF};
    if (b == 0xED) return {2, 0x80, 0x9F};
    if (b < 0xF0) return {2, 0x80, 0xBF};
    if (b == 0xF0) return {3, 0x90, 0xBF};
    if (b < 0xF4) return {3, 0x80, 0xBF};
    if (b == 0xF4) return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

bool is_ascii_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Length of the white-space character at the start of text (valid UTF-8), or 0.
std::size_t space_at_front(std::string_view t) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(t[i]); };
    if (t.empty()) return 0;
    if (is_ascii_space(b(0))) return 1;
    if (t.size() >= 2 && b(0) == 0xC2 && (b(1) == 0x85 || b(1) == 0xA0)) return 2;
    if (t.size() >= 3) {
        const unsigned c0 = b(0), c1 = b(1), c2 = b(2);
        if (c0 == 0xE1 && c1 == 0x9A && c2 == 0x80) return 3;                      // U+1680
        if (c0 == 0xE2 && c1 == 0x80 && (c2 <= 0x8A || c2 == 0xA8 || c2 == 0xA9 || c2 == 0xAF))
            return 3;                                                               // U+2000-200A, 2028, 2029, 202F
        if (c0 == 0xE2 && c1 == 0x81 && c2 == 0x9F) return 3;                      // U+205F
        if (c0 == 0xE3 && c1 == 0x80 && c2 == 0x80) return 3;                      // U+3000
    }
    return 0;
}

// Length of the white-space character at the end of text (valid UTF-8), or 0.
std::size_t space_at_back(std::string_view t) {
    if (t.empty()) return 0;
    std::size_t start = t.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(t[start]) & 0xC0) == 0x80 && t.size() - start < 4) --start;
    const std::size_t len = t.size() - start;
    return space_at_front(t.substr(start)) == len ? len : 0;
}

}  // namespace

std::size_t Utf8StreamValidator::feed(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (need_ == 0) {
            // Fast path: ASCII, 64 bytes at a time, then eight.
#if defined(__SSE2__)
            while (i + 64 <= n) {
                const auto* q = reinterpret_cast<const __m128i*>(p + i);
                const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(q), _mm_loadu_si128(q + 1)),
                                                 _mm_or_si128(_mm_loadu_si128(q + 2), _mm_loadu_si128(q + 3)));
                if (_mm_movemask_epi8(any) != 0) break;
                i += 64;
            }
#endif
            while (i + 8 <= n) {
                std::uint64_t w;
                std::memcpy(&w, p + i, 8);
                if (w & 0x8080808080808080ULL) break;
                i += 8;
            }
            if (i >= n) break;
            const std::uint8_t b = p[i];
            if (b < 0x80) {
                ++i;
                continue;
            }
            const Lead lead = classify_lead(b);
            if (lead.need < 0) return i;
            need_ = static_cast<std::uint32_t>(lead.need);
            lo_ = lead.lo;
            hi_ = lead.hi;
            ++i;
        } else {
            const std::uint8_t b = p[i];
            if (b < lo_ || b > hi_) return i;
            lo_ = 0x80;
            hi_ = 0xBF;
            --need_;
            ++i;
        }
    }
    return npos;
}

bool utf8_bytes_valid(std::string_view bytes) {
    Utf8StreamValidator v;
    return v.feed(bytes) == Utf8StreamValidator::npos && !v.incomplete();
}

std::string utf8_lossy(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const Lead lead = classify_lead(p[i]);
        if (lead.need == 0) {
            out.push_back(static_cast<char>(p[i++]));
            continue;
        }
        if (lead.need < 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        // The maximal valid prefix of a character is replaced as one unit.
        std::size_t j = i + 1;
        int got = 0;
        std::uint8_t lo = lead.lo, hi = lead.hi;
        while (got < lead.need && j < n && p[j] >= lo && p[j] <= hi) {
            lo = 0x80;
            hi = 0xBF;
            ++j;
            ++got;
        }
        if (got == lead.need) {
            out.append(bytes.substr(i, j - i));
        } else {
            out += "\xEF\xBF\xBD";
        }
        i = j;
    }
    return out;
}

std::string_view trim_field_space(std::string_view text) {
    while (std::size_t k = space_at_front(text)) text.remove_prefix(k);
    while (std::size_t k = space_at_back(text)) text.remove_suffix(k);
    return text;
}

}  // namespace corvane
