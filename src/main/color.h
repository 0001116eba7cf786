#pragma once
// The plain colour record the application state and the views share.
#include <cstdint>

namespace corvane {

struct Color32 {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend constexpr bool operator==(Color32, Color32) = default;
};

constexpr Color32 rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, 255}; }

}  // namespace corvane
