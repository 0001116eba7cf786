#pragma once
// Layout steps the list library and the list editor share: labels that take
// their place in the layout, and extra vertical space.
#include <string_view>

#include "ui/color.h"
#include "ui/fonts.h"

namespace corvane::list_ui {

// A label at the cursor in its font and colour, wrapped at the right edge of
// the window's content when `wrap` is set; the next item goes below it.
void label(std::string_view text, FontId font, Color32 color, bool wrap = true);

// Moves the cursor down by `points` on top of the usual item spacing.
void add_space(float points);

}  // namespace corvane::list_ui
