#include "ui/lifetime_key.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace corvane {

int lifetime_key(const std::shared_ptr<const void>& object) {
    // A weak pointer keeps its object's control block, so no object made
    // later can compare equal to one that was known here.
    static std::vector<std::pair<std::weak_ptr<const void>, int>> known;
    static int last = 0;
    if (!object) return 0;
    std::erase_if(known, [](const auto& k) { return k.first.expired(); });
    for (const auto& [seen, key] : known)
        if (!seen.owner_before(object) && !object.owner_before(seen)) return key;
    known.emplace_back(object, ++last);
    return last;
}

}  // namespace corvane
