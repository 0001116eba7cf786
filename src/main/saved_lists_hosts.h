#pragma once
// The host-list text of a saved watch list: hosts separated by new lines,
// "," or ";", each optionally followed by label words; "#" starts a comment.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct HostListEntry {
    std::string host;  // an IPv4 address or a name; not checked here
    std::optional<std::string> label;

    bool operator==(const HostListEntry&) const = default;
};

// In text order; a host already seen (ignoring ASCII case) is dropped with
// its label, so the first spelling wins.
std::vector<HostListEntry> parse_host_list(std::string_view text);

}  // namespace corvane
