#include "main/settings_tabs.h"

#include "main/unicode_text.h"

namespace corvane {

std::vector<std::string> saved_tab_targets(const std::vector<std::string>& tab_targets) {
    std::vector<std::string> out;
    out.reserve(tab_targets.size());
    for (const auto& t : tab_targets) {
        const auto trimmed = trim_unicode_space(t);
        if (!trimmed.empty()) out.emplace_back(trimmed);
    }
    return out;
}

std::uint64_t saved_active_tab(const std::vector<std::string>& tab_targets, std::size_t active) {
    std::uint64_t written_before = 0;
    for (std::size_t i = 0; i < active && i < tab_targets.size(); ++i) {
        if (!trim_unicode_space(tab_targets[i]).empty()) ++written_before;
    }
    const bool active_written = active < tab_targets.size() && !trim_unicode_space(tab_targets[active]).empty();
    if (active_written) return written_before;
    return written_before > 0 ? written_before - 1 : 0;
}

}  // namespace corvane
