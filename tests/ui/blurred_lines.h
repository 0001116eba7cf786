#pragma once
// Finds the straight 1-point lines of a frame that fall between pixels.
//
// Dear ImGui strokes a line as a solid core with a fringe that fades out on
// either side. Along a straight across or down run, a line whose edges lie on
// pixel boundaries covers whole pixels at full strength; one shifted by part
// of a pixel is spread over two pixels at part strength, and an outline looks
// blurred. This reads the stroke geometry back from the draw lists (untextured
// lines, as the program draws them) and reports every run of a 1-point line
// with neither edge on a pixel boundary at the given display scale.
#include <string>
#include <vector>

#include <imgui.h>

#include "ui/geometry.h"

namespace corvane::test {

struct BlurredLine {
    Vec2 from, to;       // the run's centre line, in points
    std::string window;  // the draw list's owner
};

std::vector<BlurredLine> blurred_lines(const ImDrawData* data, float pixels_per_point);

}  // namespace corvane::test
