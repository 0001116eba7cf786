#pragma once
// Counts in the views' texts: "1 host", "3 hosts".
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// `n` and the noun, with an "s" unless n is one.
std::string count_text(std::size_t n, std::string_view noun);

}  // namespace corvane
