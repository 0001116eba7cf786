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

std::size_t library_row_count(std::size_t saved_count, std::size_t columns) {
    const std::size_t n = std::max<std::size_t>(columns, 1);
    return (saved_count + 1 + n - 1) / n;
}

std::vector<LibraryCard> library_row_cards(const std::vector<std::string>& saved_names, std::size_t row,
                                           std::size_t columns) {
    const std::size_t n = std::max<std::size_t>(columns, 1);
    const std::size_t total = saved_names.size() + 1;
    std::vector<LibraryCard> cards;
    for (std::size_t i = row * n; i < total && i < (row + 1) * n; ++i) {
        if (i < saved_names.size())
            cards.push_back({saved_names[i], false});
        else
            cards.push_back({std::string(), true});
    }
    return cards;
}

}  // namespace corvane
