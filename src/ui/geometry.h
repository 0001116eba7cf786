#pragma once
// Plain rectangles and points in points, independent of the GUI library so
// layout rules can be tested without a window.
#include <cmath>

namespace corvane {

struct Vec2 {
    float x = 0.0f, y = 0.0f;
    friend constexpr bool operator==(Vec2, Vec2) = default;
};

struct Rect {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    constexpr float width() const { return right - left; }
    constexpr float height() const { return bottom - top; }
    constexpr Vec2 center() const { return {(left + right) * 0.5f, (top + bottom) * 0.5f}; }
    constexpr bool contains(Vec2 p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr Rect expand(float by) const { return {left - by, top - by, right + by, bottom + by}; }
    friend constexpr bool operator==(Rect, Rect) = default;
};

// The whole pixel nearest to `points` at `pixels_per_point` pixels a point:
// a 1-point outline along an edge placed there covers whole pixels, at any
// display scale.
inline float snap_to_pixel(float points, float pixels_per_point) {
    return pixels_per_point > 0.0f ? std::round(points * pixels_per_point) / pixels_per_point : points;
}
inline Rect snap_to_pixels(const Rect& r, float pixels_per_point) {
    return {snap_to_pixel(r.left, pixels_per_point), snap_to_pixel(r.top, pixels_per_point),
            snap_to_pixel(r.right, pixels_per_point), snap_to_pixel(r.bottom, pixels_per_point)};
}

}  // namespace corvane
