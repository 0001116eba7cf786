#include "ui/rounded_rect_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvane {
namespace {

const Color32 kA = rgb(255, 90, 15);
const Color32 kB = rgb(156, 48, 0);

float cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

TEST(RoundedRectMesh, IsAFanOfTwentyEightTriangles) {
    const Rect r{10, 20, 110, 60};
    const Mesh m = rounded_rect_mesh(r, 6, kA, kB);
    ASSERT_EQ(m.vertices.size(), 29u);
    ASSERT_EQ(m.indices.size(), 28u * 3);
    for (std::size_t t = 0; t < 28; ++t) {
        EXPECT_EQ(m.indices[3 * t], 0);
        const auto i = m.indices[3 * t + 1], j = m.indices[3 * t + 2];
        EXPECT_EQ(j, t == 27 ? 1 : i + 1);
    }
    EXPECT_EQ(m.vertices[0].pos, r.center());
    EXPECT_EQ(m.vertices[0].color, lerp_color(kA, kB, 0.5f));
    // The first arc starts straight above the top-right corner's centre.
    EXPECT_NEAR(m.vertices[1].pos.x, 104, 1e-4);
    EXPECT_NEAR(m.vertices[1].pos.y, 20, 1e-4);
    // Its last point is the start of the right edge.
    EXPECT_NEAR(m.vertices[7].pos.x, 110, 1e-4);
    EXPECT_NEAR(m.vertices[7].pos.y, 26, 1e-4);
}

TEST(RoundedRectMesh, GradientRunsFromTopLeftToBottomRight) {
    const Rect r{0, 0, 100, 100};
    const Mesh m = rounded_rect_mesh(r, 0, kA, kB);  // sharp corners
    for (const MeshVertex& v : m.vertices) {
        const float t = (v.pos.x / 100 + v.pos.y / 100) / 2;
        EXPECT_EQ(v.color, lerp_color(kA, kB, t));
    }
    bool saw_a = false, saw_b = false;
    for (const MeshVertex& v : m.vertices) {
        saw_a |= v.color == kA;
        saw_b |= v.color == kB;
    }
    EXPECT_TRUE(saw_a && saw_b);
    const Mesh solid = rounded_rect_mesh(r, 10, kA, kA);
    for (const MeshVertex& v : solid.vertices) EXPECT_EQ(v.color, kA);
}

TEST(RoundedRectMesh, OversizedRadiusMakesACapsuleNeverSelfCrossing) {
    const Rect r{0, 0, 200, 30};
    const Mesh m = rounded_rect_mesh(r, 100, kA, kB);
    ASSERT_EQ(m.vertices.size(), 29u);
    for (std::size_t i = 1; i < m.vertices.size(); ++i) {
        const Vec2 p = m.vertices[i].pos;
        EXPECT_GE(p.x, -1e-3f);
        EXPECT_LE(p.x, 200 + 1e-3f);
        EXPECT_GE(p.y, -1e-3f);
        EXPECT_LE(p.y, 30 + 1e-3f);
    }
    // Every fan triangle turns the same way (clockwise on screen).
    for (std::size_t t = 0; t < 28; ++t) {
        const Vec2 c = m.vertices[0].pos;
        const Vec2 a = m.vertices[m.indices[3 * t + 1]].pos;
        const Vec2 b = m.vertices[m.indices[3 * t + 2]].pos;
        EXPECT_GE(cross(c, a, b), -1e-3f) << "triangle " << t;
    }
}

TEST(RoundedRectMesh, NothingWithoutArea) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Rect r : {Rect{0, 0, 0, 10}, Rect{0, 0, 10, 0}, Rect{10, 10, 0, 0}, Rect{0, 0, nan, 10}}) {
        const Mesh m = rounded_rect_mesh(r, 4, kA, kB);
        EXPECT_TRUE(m.vertices.empty());
        EXPECT_TRUE(m.indices.empty());
    }
    const Mesh neg_radius = rounded_rect_mesh({0, 0, 10, 10}, -5, kA, kB);
    for (const MeshVertex& v : neg_radius.vertices) EXPECT_FALSE(std::isnan(v.pos.x) || std::isnan(v.pos.y));
}

}  // namespace
}  // namespace corvane
