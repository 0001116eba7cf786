#pragma once
// The trace tabs as settings.ini stores them: blank targets are left out, so
// the saved active index must count only the tabs that are written.
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Each tab's target trimmed, blank ones left out, in tab order.
std::vector<std::string> saved_tab_targets(const std::vector<std::string>& tab_targets);

// The index, among saved_tab_targets, of the tab at `active`. When that tab is
// blank (or `active` is past the end), the nearest written tab before it; with
// none before it, 0.
std::uint64_t saved_active_tab(const std::vector<std::string>& tab_targets, std::size_t active);

}  // namespace corvane
