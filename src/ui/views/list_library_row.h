#pragma once
// One row of cards of the list library.
#include <optional>
#include <span>
#include <string>

#include "ui/geometry.h"
#include "ui/views/list_library_text.h"

namespace corvane {

// What the library's cards asked for this frame; the last request set wins.
struct LibraryRequests {
    std::optional<std::string> watch;
    std::optional<std::string> edit;
    bool new_list = false;
};

// A card's rectangle and its two buttons, from the card's top-left corner.
struct LibraryCardGeometry {
    Rect card;
    Rect watch;  // 80 x 28, 18 in from the left, 14 up from the bottom
    Rect edit;   // 64 x 28, 8 right of "Watch"
};
LibraryCardGeometry library_card_geometry(Vec2 top_left, float card_width);

// Draws `cards` left to right at the cursor, 14 apart, each `card_width` x
// 130, and records what was clicked. Saved-list cards read their list file.
void draw_list_library_row(std::span<const LibraryCard> cards, float card_width, LibraryRequests& requests);

}  // namespace corvane
