#include "main/app.h"

#include "main/saved_lists.h"
#include "main/saved_lists_hosts.h"
#include "main/unicode_text.h"

namespace corvane {

void remember_recent_target(std::vector<std::string>& recent, std::string_view target) {
    const std::string_view trimmed = trim_unicode_space(target);
    if (trimmed.empty()) return;
    std::erase_if(recent, [&](const std::string& r) { return ascii_equal_ignore_case(r, trimmed); });
    recent.insert(recent.begin(), std::string(trimmed));
    if (recent.size() > kMaxRecentTargets) recent.resize(kMaxRecentTargets);
}

std::optional<std::size_t> find_watch_tab(const std::vector<WatchTab>& tabs, std::string_view name) {
    const std::string_view trimmed = trim_unicode_space(name);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (ascii_equal_ignore_case(tabs[i].name, trimmed)) return i;
    }
    return std::nullopt;
}

void start_watch_tab(WatchTab& tab, const SharedSettingsPtr& settings) {
    std::vector<WatchHost> hosts;
    for (HostListEntry& entry : parse_host_list(read_list_file(tab.name))) {
        hosts.push_back(WatchHost{std::move(entry.host), std::move(entry.label)});
    }
    start_watch_tab(tab, settings, hosts);
}

}  // namespace corvane
