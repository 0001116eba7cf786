#include "ui/window_icon.h"

#include <algorithm>
#include <cmath>

#include "ui/palette.h"

namespace corvane {

namespace {

// Coverage of a pixel by a shape given its signed distance (negative inside).
float coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

}  // namespace

std::vector<std::uint8_t> make_window_icon() {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(kIconSize) * kIconSize * 4);
    const float c = kIconSize / 2.0f;
    const float nodes[3][2] = {{72, 176}, {128, 100}, {186, 150}};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float disc = coverage(std::hypot(fx - c, fy - c) - 120.0f);
            const Color32 grad = lerp_color(palette::accent, palette::accent_dark, (fx + fy) / (2.0f * kIconSize));
            float ink = 0.0f;  // white route line and hop nodes
            ink = std::max(ink, coverage(segment_distance(fx, fy, nodes[0][0], nodes[0][1], nodes[1][0], nodes[1][1]) - 7));
            ink = std::max(ink, coverage(segment_distance(fx, fy, nodes[1][0], nodes[1][1], nodes[2][0], nodes[2][1]) - 7));
            for (const auto& n : nodes) ink = std::max(ink, coverage(std::hypot(fx - n[0], fy - n[1]) - 17));
            auto mix = [&](std::uint8_t g) {
                return static_cast<std::uint8_t>(std::lround(g + (255.0f - g) * ink));
            };
            std::uint8_t* p = &px[(static_cast<std::size_t>(y) * kIconSize + x) * 4];
            p[0] = mix(grad.r);
            p[1] = mix(grad.g);
            p[2] = mix(grad.b);
            p[3] = static_cast<std::uint8_t>(std::lround(255.0f * disc));
        }
    }
    return px;
}

}  // namespace corvane
