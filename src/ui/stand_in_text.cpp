#include "ui/stand_in_text.h"

#include <unicode/utf8.h>

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

// Calls `each` with every character of `text`; a byte of a sequence that is
// not well-formed UTF-8 comes alone, as kRawByte + the byte.
template <class Each>
void for_each_character(std::string_view text, Each each) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c >= 0) {
            each(static_cast<char32_t>(c));
            continue;
        }
        for (std::int32_t k = start; k < i; ++k) each(kRawByte + s[k]);
    }
}

void append(std::string& out, char32_t c) {
    if (c >= kRawByte) {
        out.push_back(static_cast<char>(c - kRawByte));
        return;
    }
    std::uint8_t bytes[U8_MAX_LENGTH];
    std::int32_t n = 0;
    U8_APPEND_UNSAFE(bytes, n, c);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

bool needs_stand_in(char32_t c) { return c > 0xFFFF || private_use(c) || c == kTypedMark; }

}  // namespace

char32_t stand_in_for(char32_t c) { return needs_stand_in(c) ? stand_ins().give(c) : c; }

std::string text_for_imgui(std::string_view text, bool tabs) {
    std::string out;
    out.reserve(text.size());
    // ImGui's text ends at a NUL.
    for_each_character(text, [&](char32_t c) {
        append(out, needs_stand_in(c) || c == 0 || (tabs && c == '\t') ? stand_ins().give(c) : c);
    });
    return out;
}

std::string text_from_imgui(std::string_view edited) {
    std::string out;
    out.reserve(edited.size());
    for_each_character(edited, [&](char32_t c) { append(out, stand_ins().original(c)); });
    return out;
}

}  // namespace corvane
