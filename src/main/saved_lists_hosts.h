#pragma once
// The host-list text of a saved watch list: hosts separated by new lines,
// "," or ";", each optionally followed by label words; "#" starts a comment.
#include <cstddef>
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

// Labels are cut to this many characters: every history row of a watched
// host carries its label, and the views draw it every frame, so a label of
// megabytes, pasted by mistake, would add megabytes to the history with
// every ping.
inline constexpr std::size_t kMaxLabelChars = 256;

// In text order; a host already seen (ignoring ASCII case) is dropped with
// its label, so the first spelling wins. A longer label keeps its first
// kMaxLabelChars characters, less a blank the cut leaves at its end; the
// list's file keeps all of it.
std::vector<HostListEntry> parse_host_list(std::string_view text);

}  // namespace corvane
