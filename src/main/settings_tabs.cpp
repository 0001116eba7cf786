#include "main/settings_tabs.h"

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

}  // namespace corvane
