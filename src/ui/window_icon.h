#pragma once
// The window icon: 256 x 256 8-bit RGBA, drawn in code (an accent gradient
// disc on a transparent background with a route line of three hops).
#include <cstdint>
#include <vector>

namespace corvane {

inline constexpr int kIconSize = 256;

// 256 * 256 * 4 bytes, rows top to bottom, unmultiplied alpha.
std::vector<std::uint8_t> make_window_icon();

}  // namespace corvane
