#include "main/list_summary.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "main/saved_lists.h"
#include "main/unicode_text.h"
#include "platform/regular_file.h"

namespace corvane {

namespace {

constexpr std::size_t kPreviewHosts = 3;
// Summaries of lists no longer drawn are dropped once the cache holds this
// many; any list drawn within the last kCacheLimit / 2 look-ups stays.
constexpr std::size_t kCacheLimit = 1024;
// File times tick coarsely on some file systems (ramfs, FAT, NFS, older
// kernels): two same-size writes within one tick leave the identity alone.
// A file changed this shortly before it was read may change again unseen, so
// its summary is not trusted (git's "racily clean" rule).
constexpr std::chrono::nanoseconds kRacyWindow = std::chrono::seconds(2);

struct CachedSummary {
    FileIdentity identity;
    ListSummary summary;
    std::uint64_t last_use = 0;
    // Changed within kRacyWindow of the read: read again at the next look-up.
    bool racy = false;
};

std::chrono::nanoseconds since_epoch(const timespec& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

class SummaryCache {
public:
    ListSummary get(const std::filesystem::path& path, const FileIdentity& identity) {
        std::lock_guard lock(mutex_);
        const std::uint64_t use = ++uses_;
        auto it = cache_.find(path.native());
        if (it != cache_.end() && it->second.identity == identity && !it->second.racy) {
            it->second.last_use = use;
            return it->second.summary;
        }
        CachedSummary fresh = read(path);
        fresh.last_use = use;
        if (cache_.size() >= kCacheLimit) prune(use);
        return (cache_[path.native()] = std::move(fresh)).summary;
    }

private:
    // Reads the file as it is now; its identity is taken from the open file,
    // so a change during the read shows as a change at the next look-up.
    static CachedSummary read(const std::filesystem::path& path) {
        CachedSummary out;
        // Taken before the open: a change after it has a later stamp.
        const auto read_at = std::chrono::system_clock::now().time_since_epoch();
        RegularFile file(path);
        if (!file.is_open()) return out;
        out.identity = file.identity();
        out.racy = since_epoch(out.identity.mtime) > read_at - kRacyWindow;
        if (static_cast<std::uint64_t>(out.identity.size) > kMaxListFileBytes) {
            out.summary.too_large = true;
            return out;
        }
        const std::optional<std::string> text = file.read_rest(kMaxListFileBytes);
        if (!text) {
            out.summary.too_large = file.error() == EFBIG;
            return out;
        }
        std::vector<HostListEntry> hosts = parse_host_list(lossy_utf8(*text));
        out.summary.host_count = hosts.size();
        hosts.resize(std::min(hosts.size(), kPreviewHosts));
        out.summary.first_hosts = std::move(hosts);
        return out;
    }

    void prune(std::uint64_t now) {
        std::erase_if(cache_, [now](const auto& kv) { return now - kv.second.last_use > kCacheLimit / 2; });
    }

    std::mutex mutex_;
    std::unordered_map<std::string, CachedSummary> cache_;
    std::uint64_t uses_ = 0;
};

// One for the process: the cards are drawn by views that hold no state of
// their own, and a summary depends on the file alone.
SummaryCache& summary_cache() {
    static SummaryCache cache;
    return cache;
}

}  // namespace

ListSummary saved_list_summary(std::string_view name) {
    const std::optional<std::filesystem::path> path = listed_list_file(name);
    if (!path) return {};
    const std::optional<FileIdentity> identity = regular_file_identity(*path);
    if (!identity) return {};
    if (static_cast<std::uint64_t>(identity->size) > kMaxListFileBytes) return {0, {}, true};
    return summary_cache().get(*path, *identity);
}

}  // namespace corvane
