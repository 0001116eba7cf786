#include "ui/views/list_library_text.h"

#include <algorithm>
#include <cmath>

#include "ui/count_text.h"

namespace corvane {

std::string host_count_text(std::size_t count) {
    return count_text(count, "host");
}

std::string list_count_text(const ListSummary& summary) {
    return summary.too_large ? std::string("file too large") : host_count_text(summary.host_count);
}

std::string list_preview_text(const ListSummary& summary) {
    std::string out;
    const std::size_t shown = std::min<std::size_t>(summary.first_hosts.size(), 3);
    for (std::size_t i = 0; i < shown; ++i) {
        const HostListEntry& e = summary.first_hosts[i];
        if (i > 0) out += ", ";
        out += e.label ? *e.label : e.host;
    }
    if (summary.host_count >= 4) out += ", +" + std::to_string(summary.host_count - 3);
    return out;
}

std::size_t library_columns(float available_width) {
    // A window squeezed to nothing or a NaN width still gets its one column;
    // the cap keeps the cast defined for absurd widths.
    const float n = std::floor((available_width + kLibraryCardGap) / (kLibraryCardWidth + kLibraryCardGap));
    if (!(n >= 1.0f)) return 1;
    return static_cast<std::size_t>(std::min(n, 10000.0f));
}

std::vector<LibraryCard> library_cards(const std::vector<std::string>& saved_names) {
    std::vector<LibraryCard> cards;
    cards.reserve(saved_names.size() + 1);
    for (const std::string& name : saved_names) cards.push_back({name, false});
    cards.push_back({std::string(), true});
    return cards;
}

std::vector<std::span<const LibraryCard>> library_rows(const std::vector<LibraryCard>& cards, std::size_t columns) {
    std::vector<std::span<const LibraryCard>> rows;
    const std::size_t n = std::max<std::size_t>(columns, 1);
    const std::span<const LibraryCard> all(cards);
    for (std::size_t i = 0; i < all.size(); i += n) rows.push_back(all.subspan(i, std::min(n, all.size() - i)));
    return rows;
}

}  // namespace corvane
