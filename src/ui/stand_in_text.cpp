#include "ui/stand_in_text.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace corvane {

namespace {

constexpr char32_t kFirst = 0xE000, kLast = 0xF8FF;  // the Private Use Area of the first plane
constexpr char32_t kReplacement = 0xFFFD;
// A byte that is not part of well-formed UTF-8 stands for itself: it is
// recorded as this plus the byte, past every Unicode character.
constexpr char32_t kRawByte = 0x110000;

bool private_use(char32_t c) { return c >= kFirst && c <= kLast; }

class StandIns {
public:
    char32_t give(char32_t original) {
        if (auto it = stand_in_of_.find(original); it != stand_in_of_.end()) return it->second;
        if (originals_.size() > kLast - kFirst) return kReplacement;
        const char32_t s = kFirst + static_cast<char32_t>(originals_.size());
        originals_.push_back(original);
        stand_in_of_.emplace(original, s);
        return s;
    }
    // What stand-in `c` stands for, or `c` when it is none.
    char32_t original(char32_t c) const {
        if (!private_use(c) || c - kFirst >= originals_.size()) return c;
        return originals_[c - kFirst];
    }

private:
    std::vector<char32_t> originals_;
    std::unordered_map<char32_t, char32_t> stand_in_of_;
};

StandIns& stand_ins() {
    static StandIns table;
    return table;
}

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The character at `at` and its length in bytes; a byte that does not start
// a well-formed sequence (overlong, a surrogate, past U+10FFFF, cut short)
// is read alone, as kRawByte + the byte.
char32_t decode(std::string_view s, std::size_t at, std::size_t& len) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[at + k]); };
    const unsigned char lead = b(0);
    len = 1;
    if (lead < 0x80) return lead;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (n == 0 || at + n > s.size() || b(1) < low || b(1) > high) return kRawByte + lead;
    char32_t c = lead & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        if (!continuation(b(k))) return kRawByte + lead;
        c = (c << 6) | (b(k) & 0x3F);
    }
    len = n;
    return c;
}

void append(std::string& out, char32_t c) {
    if (c >= kRawByte) {
        out.push_back(static_cast<char>(c - kRawByte));
    } else if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool needs_stand_in(char32_t c) { return c > 0xFFFF || private_use(c) || c == kTypedMark; }

}  // namespace

char32_t stand_in_for(char32_t c) { return needs_stand_in(c) ? stand_ins().give(c) : c; }

std::string text_for_imgui(std::string_view text, bool tabs) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t len = 0;
        const char32_t c = decode(text, at, len);
        // ImGui's text ends at a NUL.
        append(out, needs_stand_in(c) || c == 0 || (tabs && c == '\t') ? stand_ins().give(c) : c);
        at += len;
    }
    return out;
}

std::string text_from_imgui(std::string_view edited) {
    std::string out;
    out.reserve(edited.size());
    for (std::size_t at = 0; at < edited.size();) {
        std::size_t len = 0;
        append(out, stand_ins().original(decode(edited, at, len)));
        at += len;
    }
    return out;
}

}  // namespace corvane
