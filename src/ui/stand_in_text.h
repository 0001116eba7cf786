#pragma once
// Text as Dear ImGui 1.86 can edit it without loss.
//
// Debian builds ImGui with 16-bit characters: a field turns every character
// beyond U+FFFF into U+FFFD the moment it is focused, cuts the text at a NUL
// and replaces bytes that are not UTF-8. A field is therefore handed its text
// with each such character or byte swapped for a stand-in from the Private
// Use Area (U+E000..U+F8FF), and what ImGui hands back is swapped back.
// Characters of that area already in the text get stand-ins too, so every
// one ImGui holds is a stand-in and none is taken for another character; so
// does U+FDD0, a noncharacter that marks a typed character (field_text.h).
//
// A stand-in, once given, keeps its meaning for the rest of the process:
// ImGui's undo history and the text being edited may hold it for a long
// time. The area has room for 6400 of them; a character met once it is full
// stands in as U+FFFD. UI thread only.
#include <string>
#include <string_view>

namespace corvane {

// What ImGui is handed for `text`. With `tabs` a TAB gets a stand-in too:
// ImGui drops a pasted TAB, a stand-in it keeps.
std::string text_for_imgui(std::string_view text, bool tabs = false);

// The text ImGui's `edited` stands for: stand-ins become what they stand
// for; everything else is kept as it is.
std::string text_from_imgui(std::string_view edited);

inline constexpr char32_t kTypedMark = 0xFDD0;

// The stand-in for `c` when ImGui can't take it as it is (a character beyond
// U+FFFF or of the Private Use Area, or kTypedMark); otherwise c itself.
char32_t stand_in_for(char32_t c);

}  // namespace corvane
