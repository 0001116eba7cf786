#pragma once
// Plain rectangles and points in points, independent of the GUI library so
// layout rules can be tested without a window.

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

}  // namespace corvane
