#pragma once
// The few Unicode rules settings and list names need: white space by the
// Unicode White_Space property, full lower-case mapping, UTF-8 checks.
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Malformed UTF-8 bytes count as ordinary (non-space) characters.
std::string_view trim_unicode_space(std::string_view text);
// The words between runs of white space; none for a blank text.
std::vector<std::string> split_unicode_space(std::string_view text);

bool is_valid_utf8(std::string_view text);
// Malformed sequences become U+FFFD.
std::string lossy_utf8(std::string_view bytes);

// Full, locale-independent lower-case form: a word-final sigma becomes
// "ς", a dotted capital I "i" with a combining dot.
std::string unicode_lower(std::string_view text);

// Sorts by unicode_lower compared byte by byte; equal keys keep their order.
void sort_by_unicode_lower(std::vector<std::string>& names);

// Whether the text holds a C0 control, DEL or a C1 control (U+0080..U+009F):
// such a text would break a one-line-per-key file. Bytes that are not UTF-8
// don't count.
bool has_control_character(std::string_view text);

// Same byte length, equal once A-Z map to a-z; no other folding.
bool ascii_equal_ignore_case(std::string_view a, std::string_view b);

}  // namespace corvane
