#pragma once
// What the list library's cards and the open-list menu show of a saved list:
// its host count and first hosts. They are drawn every frame, so a list file
// is read again only when it changed.
#include <cstddef>
#include <string_view>
#include <vector>

#include "main/saved_lists_hosts.h"

namespace corvane {

struct ListSummary {
    std::size_t host_count = 0;
    std::vector<HostListEntry> first_hosts;  // the first three, for a preview
    // Larger than kMaxListFileBytes: no host list, and not read.
    bool too_large = false;

    bool operator==(const ListSummary&) const = default;
};

// The summary of the saved list `name`, in the file listed_list_file gives
// (no read of the folder for a name the last scan listed). A list without a
// file, or whose file cannot be read (no regular file, no permission), has
// no hosts. The file is read and parsed only when its identity (device,
// inode, size, times) differs from the last read, or when it had changed
// less than two seconds before that read; a file that is not regular is
// never opened.
ListSummary saved_list_summary(std::string_view name);

}  // namespace corvane
