#pragma once
// Colours as the views hand them to the renderer: 8-bit sRGB channels already
// multiplied by alpha (in linear light), so translucent fills blend like the
// look was designed. The renderer blends with ONE, ONE_MINUS_SRC_ALPHA and
// multiplies nothing again.
#include <cstdint>

#include "main/color.h"

namespace corvane {

// Dear ImGui's packed form (R in the low byte).
constexpr std::uint32_t to_imu32(Color32 c) {
    return std::uint32_t{c.r} | std::uint32_t{c.g} << 8 | std::uint32_t{c.b} << 16 |
           std::uint32_t{c.a} << 24;
}

// Opaque blend of a and b; t is clamped to [0, 1].
Color32 lerp_color(Color32 a, Color32 b, float t);

// An unmultiplied colour with alpha 0..255, premultiplied in linear light
// through a 256 x 256 table built on first use. The alpha is kept as given.
Color32 color_with_alpha(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha);
inline Color32 color_with_alpha(Color32 opaque, std::uint8_t alpha) {
    return color_with_alpha(opaque.r, opaque.g, opaque.b, alpha);
}

// One entry of that table: channel value (sRGB) times alpha, in linear light.
std::uint8_t premultiply_channel(std::uint8_t value, std::uint8_t alpha);

// sRGB <-> linear light, with the exact curve constants the look was tuned with.
float linear_from_srgb(std::uint8_t value);
std::uint8_t srgb_from_linear(float linear);

}  // namespace corvane
