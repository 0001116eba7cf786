#include "ui/pixel_fringe.h"

#include <imgui.h>

namespace corvane {

void feather_one_pixel(ImDrawList* dl) {
    const float pixels_per_point = ImGui::GetIO().DisplayFramebufferScale.x;
    if (dl != nullptr && pixels_per_point > 0.0f) dl->_FringeScale = 1.0f / pixels_per_point;
}

void feather_one_pixel() { feather_one_pixel(ImGui::GetWindowDrawList()); }

}  // namespace corvane
