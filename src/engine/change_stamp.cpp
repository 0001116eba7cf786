#include "engine/change_stamp.h"

#include <atomic>

namespace corvane {

std::uint64_t new_change_stamp() {
    // Only uniqueness matters: the state's mutex orders what the stamps mark.
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace corvane
