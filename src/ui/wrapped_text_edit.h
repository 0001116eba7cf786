#pragma once
// A multi-line text field whose long lines wrap at its width. Dear ImGui
// 1.86's multi-line field cannot wrap: it still does the editing here
// (typing, deleting, the clipboard, undo, selecting with the keyboard) on the
// text as it is, while this draws the text in rows that fit, and places the
// cursor, the selection, pointer clicks and drags, Up, Down, Home and End by
// those rows. Wrapping is only how the text is shown: no line feed is ever
// added to it. The text scrolls up and down inside the field, by the wheel
// and to keep the cursor in view.
#include <imgui.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/geometry.h"

namespace corvane {

// One shown row: the bytes [begin, end) are drawn; `next` is where the next
// row starts (after the line feed, or after the blanks that hang past the
// edge where a line wraps).
struct WrappedRow {
    std::size_t begin = 0, end = 0, next = 0;
    friend bool operator==(const WrappedRow&, const WrappedRow&) = default;
};

// The rows of `text` in `font` at `size` within `width`: lines break at line
// feeds, and a line too long breaks after its last word that fits, or inside
// a word that alone is too long. Always at least one row.
std::vector<WrappedRow> wrap_rows(std::string_view text, ImFont* font, float size, float width);

// The field over `box`, `padding` inside it on every side, editing `text` in
// the current font and text colour; ImGui's id is `label`'s. The caller paints
// the frame under it.
void wrapped_text_edit(const char* label, std::string& text, Rect box, float padding);

}  // namespace corvane
