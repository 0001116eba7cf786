#pragma once
#include <cstdint>
#include <string>

namespace corvane {

// A short duration: "42s", "3m 07s", "2h 05m". Negative spans read "0s".
std::string format_duration_ms(std::int64_t ms);

}  // namespace corvane
