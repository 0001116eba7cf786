#pragma once
// The triangle fan behind fill_rounded_rect: a diagonal gradient over a
// rounded rectangle.
#include <cstdint>
#include <vector>

#include "ui/color.h"
#include "ui/geometry.h"

namespace corvane {

struct MeshVertex {
    Vec2 pos;
    Color32 color;
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint16_t> indices;  // triangles
};

// Centre vertex plus 28 outline points (four quarter arcs, 7 points each,
// clockwise on screen from the top-right corner); 28 triangles. The radius is
// clamped to half the shorter side. A rectangle without area gives an empty
// mesh: the gradient would divide by its width or height.
Mesh rounded_rect_mesh(Rect rect, float radius, Color32 top_left, Color32 bottom_right);

}  // namespace corvane
