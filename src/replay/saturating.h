#pragma once
// Unix-ms arithmetic that sticks at the ends of the 64-bit range instead of
// wrapping: recorded times are whatever the file says.
#include <cstdint>
#include <limits>

namespace corvane {

inline std::int64_t saturating_add(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_add_overflow(a, b, &r)) return r;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

inline std::int64_t saturating_sub(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_sub_overflow(a, b, &r)) return r;
    return b < 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

}  // namespace corvane
