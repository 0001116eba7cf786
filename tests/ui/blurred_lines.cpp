#include "blurred_lines.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace corvane::test {

namespace {

constexpr float kSame = 1e-3f;      // two vertices from one computation
constexpr float kOnPixel = 0.02f;   // of a pixel
constexpr float kOnePointHalf = 0.5f;

bool clear(const ImDrawVert& v) { return (v.col & IM_COL32_A_MASK) == 0; }
ImVec2 mid(ImVec2 a, ImVec2 b) { return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f}; }
bool same(ImVec2 a, ImVec2 b) { return std::fabs(a.x - b.x) < kSame && std::fabs(a.y - b.y) < kSame; }

// One point of a stroke: its centre and how far the line's visible edges lie
// from it across and down. Dear ImGui writes a thin stroke (no wider than
// its fringe) as [core, +fringe, -fringe] and a wider one as [+outer,
// +inner, -inner, -outer], the fringe fading from the inner to the outer
// vertex; at a bend both are pushed out so that each segment keeps its width.
struct StrokePoint {
    ImVec2 centre;
    ImVec2 half;  // half the line's width, as seen by a run across (y) or down (x)
    int size = 0;   // vertices per point
    int core = 0;   // a solid vertex of it, shared with the triangles of its segments
};

std::optional<StrokePoint> stroke_point(const ImVector<ImDrawVert>& v, int i) {
    if (i + 2 < v.Size && !clear(v[i]) && clear(v[i + 1]) && clear(v[i + 2]) &&
        same(mid(v[i + 1].pos, v[i + 2].pos), v[i].pos) && !same(v[i + 1].pos, v[i].pos)) {
        // The core fades out over one fringe: its edges lie half a fringe out.
        return StrokePoint{v[i].pos,
                           {std::fabs(v[i + 1].pos.x - v[i].pos.x) * 0.5f, std::fabs(v[i + 1].pos.y - v[i].pos.y) * 0.5f},
                           3, i};
    }
    if (i + 3 < v.Size && clear(v[i]) && !clear(v[i + 1]) && !clear(v[i + 2]) && clear(v[i + 3])) {
        const ImVec2 c = mid(v[i + 1].pos, v[i + 2].pos);
        if (!same(c, mid(v[i].pos, v[i + 3].pos))) return std::nullopt;
        const auto half = [&](float inner, float outer, float centre) {
            return (std::fabs(inner - centre) + std::fabs(outer - centre)) * 0.5f;
        };
        return StrokePoint{c,
                           {half(v[i + 1].pos.x, v[i].pos.x, c.x), half(v[i + 1].pos.y, v[i].pos.y, c.y)},
                           4, i + 1};
    }
    return std::nullopt;
}

bool on_pixel(float points, float pixels_per_point) {
    const float px = points * pixels_per_point;
    return std::fabs(px - std::round(px)) < kOnPixel;
}

// A line of width 2·half centred on `at`: crisp when an edge lies on a pixel
// boundary (at a scale such as 1.5 a 1-point line is a pixel and a half, so
// only its outer edge can).
bool crisp(float at, float half, float pixels_per_point) {
    return on_pixel(at - half, pixels_per_point) || on_pixel(at + half, pixels_per_point);
}

bool one_point(float half) { return std::fabs(half - kOnePointHalf) < 0.05f; }

// The command drawing a triangle with both vertices, if any: two points of
// one stroke share triangles, the last point of one stroke and the first of
// the next don't.
const ImDrawCmd* command_joining(const ImDrawList* list, unsigned a, unsigned b) {
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        if (cmd.UserCallback) continue;
        for (unsigned k = 0; k + 2 < cmd.ElemCount; k += 3) {
            bool has_a = false, has_b = false;
            for (unsigned j = 0; j < 3; ++j) {
                const unsigned idx = list->IdxBuffer[static_cast<int>(cmd.IdxOffset + k + j)] + cmd.VtxOffset;
                has_a |= idx == a;
                has_b |= idx == b;
            }
            if (has_a && has_b) return &cmd;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<BlurredLine> blurred_lines(const ImDrawData* data, float pixels_per_point) {
    std::vector<BlurredLine> out;
    for (int l = 0; l < data->CmdListsCount; ++l) {
        const ImDrawList* list = data->CmdLists[l];
        const ImVector<ImDrawVert>& v = list->VtxBuffer;
        for (int i = 0; i < v.Size; ++i) {
            const std::optional<StrokePoint> a = stroke_point(v, i);
            if (!a) continue;
            const std::optional<StrokePoint> b = stroke_point(v, i + a->size);
            if (!b || b->size != a->size) continue;
            const bool down = std::fabs(a->centre.x - b->centre.x) < kSame && std::fabs(a->centre.y - b->centre.y) >= 0.5f;
            const bool across = std::fabs(a->centre.y - b->centre.y) < kSame && std::fabs(a->centre.x - b->centre.x) >= 0.5f;
            if (!down && !across) continue;
            const float half = down ? a->half.x : a->half.y;
            if (!one_point(half)) continue;
            if (crisp(down ? a->centre.x : a->centre.y, half, pixels_per_point)) continue;
            // Seldom reached: only now is it worth reading the triangles.
            const ImDrawCmd* cmd = command_joining(list, static_cast<unsigned>(a->core), static_cast<unsigned>(b->core));
            if (cmd == nullptr) continue;
            const ImVec4& c = cmd->ClipRect;
            const float x0 = std::fmin(a->centre.x, b->centre.x) - (down ? half : 0.0f);
            const float x1 = std::fmax(a->centre.x, b->centre.x) + (down ? half : 0.0f);
            const float y0 = std::fmin(a->centre.y, b->centre.y) - (across ? half : 0.0f);
            const float y1 = std::fmax(a->centre.y, b->centre.y) + (across ? half : 0.0f);
            if (x1 <= c.x || x0 >= c.z || y1 <= c.y || y0 >= c.w) continue;  // clipped away
            out.push_back({{a->centre.x, a->centre.y}, {b->centre.x, b->centre.y}, list->_OwnerName ? list->_OwnerName : ""});
        }
    }
    return out;
}

}  // namespace corvane::test
