#include "ui/color.h"

#include <array>
#include <cmath>

namespace corvane {

namespace {

// Truncating after adding a half matches the tables the look was tuned on
// (halves round up, never to even).
std::uint8_t round_half_up(float v) { return static_cast<std::uint8_t>(v + 0.5f); }

std::uint8_t lerp_channel(std::uint8_t a, std::uint8_t b, float t) {
    const float v = std::round(static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * t);
    if (!(v >= 0.0f)) return 0;  // also catches NaN
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

using Table = std::array<std::uint8_t, 256 * 256>;

const Table& premultiply_table() {
    static const Table table = [] {
        Table t{};
        for (int alpha = 0; alpha < 256; ++alpha) {
            const float a = static_cast<float>(alpha) / 255.0f;
            for (int value = 0; value < 256; ++value)
                t[static_cast<std::size_t>(alpha * 256 + value)] =
                    srgb_from_linear(linear_from_srgb(static_cast<std::uint8_t>(value)) * a);
        }
        return t;
    }();
    return table;
}

}  // namespace

float linear_from_srgb(std::uint8_t value) {
    const float s = static_cast<float>(value);
    if (value <= 10) return s / 3294.6f;
    return std::pow((s + 14.025f) / 269.025f, 2.4f);
}

std::uint8_t srgb_from_linear(float linear) {
    if (!(linear > 0.0f)) return 0;
    if (linear <= 0.0031308f) return round_half_up(3294.6f * linear);
    if (linear <= 1.0f) return round_half_up(269.025f * std::pow(linear, 1.0f / 2.4f) - 14.025f);
    return 255;
}

Color32 lerp_color(Color32 a, Color32 b, float t) {
    if (!(t >= 0.0f)) t = 0.0f;  // NaN counts as 0
    if (t > 1.0f) t = 1.0f;
    return {lerp_channel(a.r, b.r, t), lerp_channel(a.g, b.g, t), lerp_channel(a.b, b.b, t), 255};
}

std::uint8_t premultiply_channel(std::uint8_t value, std::uint8_t alpha) {
    if (alpha == 255) return value;
    return premultiply_table()[std::size_t{alpha} * 256 + value];
}

Color32 color_with_alpha(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha) {
    return {premultiply_channel(r, alpha), premultiply_channel(g, alpha), premultiply_channel(b, alpha), alpha};
}

}  // namespace corvane
