#pragma once
// The texts and the grid arithmetic of the list library, apart from drawing.
#include <cstddef>
#include <string>
#include <vector>

#include "main/list_summary.h"

namespace corvane {

inline constexpr float kLibraryCardWidth = 300.0f;
inline constexpr float kLibraryCardHeight = 130.0f;
inline constexpr float kLibraryCardGap = 14.0f;

// One card of the library: a saved list, or the closing "New list" card.
struct LibraryCard {
    std::string name;  // empty for the "New list" card
    bool new_list = false;
};

// "1 host", "0 hosts", "2 hosts".
std::string host_count_text(std::size_t count);

// A saved list's count line: host_count_text, or "file too large" for a file
// too large to be a host list.
std::string list_count_text(const ListSummary& summary);

// The first three display texts (label, else host) joined with ", ", and
// ", +N" for the rest.
std::string list_preview_text(const ListSummary& summary);

// Cards per row: floor((width + 14) / 314), at least 1.
std::size_t library_columns(float available_width);

// The library's cards are a card per saved name, in order, then the "New
// list" card, cut into rows of `columns` (at least 1); the last row may be
// shorter. How many rows they fill:
std::size_t library_row_count(std::size_t saved_count, std::size_t columns);

// The cards of row `row`: only rows on screen are built and drawn.
std::vector<LibraryCard> library_row_cards(const std::vector<std::string>& saved_names, std::size_t row,
                                           std::size_t columns);

}  // namespace corvane
