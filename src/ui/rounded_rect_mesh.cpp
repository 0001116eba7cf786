#include "ui/rounded_rect_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

Mesh rounded_rect_mesh(Rect rect, float radius, Color32 a, Color32 b) {
    Mesh mesh;
    const float w = rect.width();
    const float h = rect.height();
    if (!(w > 0.0f) || !(h > 0.0f)) return mesh;
    float r = std::min({radius, w / 2.0f, h / 2.0f});
    if (!(r > 0.0f)) r = 0.0f;

    auto colour_at = [&](Vec2 p) { return lerp_color(a, b, ((p.x - rect.left) / w + (p.y - rect.top) / h) / 2.0f); };

    mesh.vertices.reserve(29);
    mesh.vertices.push_back({rect.center(), lerp_color(a, b, 0.5f)});
    const struct {
        Vec2 centre;
        float start_deg;
    } arcs[] = {
        {{rect.right - r, rect.top + r}, -90.0f},
        {{rect.right - r, rect.bottom - r}, 0.0f},
        {{rect.left + r, rect.bottom - r}, 90.0f},
        {{rect.left + r, rect.top + r}, 180.0f},
    };
    for (const auto& arc : arcs) {
        for (int i = 0; i < 7; ++i) {
            const float rad = (arc.start_deg + 15.0f * static_cast<float>(i)) * std::numbers::pi_v<float> / 180.0f;
            const Vec2 p{arc.centre.x + r * std::cos(rad), arc.centre.y + r * std::sin(rad)};
            mesh.vertices.push_back({p, colour_at(p)});
        }
    }
    mesh.indices.reserve(28 * 3);
    for (std::uint16_t i = 1; i < 28; ++i) mesh.indices.insert(mesh.indices.end(), {0, i, static_cast<std::uint16_t>(i + 1)});
    mesh.indices.insert(mesh.indices.end(), {0, 28, 1});
    return mesh;
}

}  // namespace corvane
