#include "ui/pixel_fringe.h"

#include <imgui.h>

namespace corvane {

void feather_one_pixel(ImDrawList* dl) {
    const float pixels_per_point = display_pixels_per_point();
    if (dl != nullptr && pixels_per_point > 0.0f) dl->_FringeScale = 1.0f / pixels_per_point;
}

void feather_one_pixel() { feather_one_pixel(ImGui::GetWindowDrawList()); }

float display_pixels_per_point() { return ImGui::GetIO().DisplayFramebufferScale.x; }

float on_whole_pixel(float points) { return snap_to_pixel(points, display_pixels_per_point()); }

Rect on_whole_pixels(const Rect& r) { return snap_to_pixels(r, display_pixels_per_point()); }

}  // namespace corvane
