#include "main/unicode_text.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace corvane {

namespace {

// Decodes the code point at `pos` and advances `pos`; malformed input gives
// -1. ICU's decoder counts in 32-bit indexes, so it only ever sees the next
// four bytes.
UChar32 next_code_point(std::string_view text, std::size_t& pos) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data() + pos);
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size() - pos, 4));
    std::size_t i = 0;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    pos += i;
    return c;
}

bool is_space(UChar32 c) { return c >= 0 && u_isUWhiteSpace(c); }

}  // namespace

std::string_view trim_unicode_space(std::string_view text) {
    // Only the ends are decoded: the per-frame settings check trims texts
    // that may be megabytes long.
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t next = begin;
        if (!is_space(next_code_point(text, next))) break;
        begin = next;
    }
    std::size_t end = text.size();
    while (end > begin) {
        // The last character starts at the lead byte at most three bytes
        // back; a decoder never takes a lead byte into an earlier sequence,
        // so this is where a forward walk would have started it too.
        std::size_t start = end - 1;
        while (start > begin && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        std::size_t pos = start;
        const UChar32 c = next_code_point(text.substr(0, end), pos);
        if (pos != end || !is_space(c)) break;
        end = start;
    }
    return text.substr(begin, end - begin);
}

std::vector<std::string> split_unicode_space(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    std::size_t word_start = 0;
    bool in_word = false;
    while (i < text.size()) {
        const std::size_t start = i;
        const bool space = is_space(next_code_point(text, i));
        if (space && in_word) {
            words.emplace_back(text.substr(word_start, start - word_start));
            in_word = false;
        } else if (!space && !in_word) {
            word_start = start;
            in_word = true;
        }
    }
    if (in_word) words.emplace_back(text.substr(word_start));
    return words;
}

bool is_valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (next_code_point(text, i) < 0) return false;
    }
    return true;
}

std::string lossy_utf8(std::string_view bytes) {
    if (is_valid_utf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t start = i;
        if (next_code_point(bytes, i) < 0) {
            out += "\xEF\xBF\xBD";
        } else {
            out.append(bytes.substr(start, i - start));
        }
    }
    return out;
}

std::string unicode_lower(std::string_view text) {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    // The root locale gives the language-neutral mapping (no Turkish or
    // Lithuanian rules), with the final-sigma context applied.
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

void sort_by_unicode_lower(std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) keyed.emplace_back(unicode_lower(n), std::move(n));
    // std::string compares as unsigned bytes (char_traits<char>::lt), which
    // is code-point order for UTF-8.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

bool ascii_equal_ignore_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

bool has_control_character(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return true;
        // U+0080..U+009F are 0xC2 0x80..0x9F in UTF-8.
        if (c == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return true;
        }
    }
    return false;
}

}  // namespace corvane
