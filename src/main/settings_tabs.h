#pragma once
// The trace tabs as settings.ini stores them: blank targets are left out, so
// the saved active index must count only the tabs that are written.
#include <cstdint>
#include <string>
#include <vector>

#include "main/unicode_text.h"

namespace corvane {

// Each tab's target trimmed, blank ones left out, in tab order.
std::vector<std::string> saved_tab_targets(const std::vector<std::string>& tab_targets);

// The index, among saved_tab_targets, of the tab at `active`. When that tab is
// blank (or `active` is past the end), the nearest written tab before it; with
// none before it, 0. Takes texts or views of them.
template <class Targets = std::vector<std::string>>
std::uint64_t saved_active_tab(const Targets& tab_targets, std::size_t active) {
    std::uint64_t written_before = 0;
    for (std::size_t i = 0; i < active && i < tab_targets.size(); ++i) {
        if (!trim_unicode_space(tab_targets[i]).empty()) ++written_before;
    }
    const bool active_written = active < tab_targets.size() && !trim_unicode_space(tab_targets[active]).empty();
    if (active_written) return written_before;
    return written_before > 0 ? written_before - 1 : 0;
}

}  // namespace corvane
