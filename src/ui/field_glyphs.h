#pragma once
// The glyphs of a single-line text field, which ImGui measures and paints
// itself.
#include <string_view>

namespace corvane {

// Right after a single-line InputText, while its font is still pushed: notes
// the glyphs of its whole text, and those of the part the field shows (from
// the start, or from where it is scrolled while being edited) as painted, so
// a text far longer than the field doesn't crowd out what it shows.
void note_single_line_field(std::string_view text);

}  // namespace corvane
