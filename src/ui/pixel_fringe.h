#pragma once
// ImGui feathers anti-aliased edges over one point, and every window's draw
// list starts each frame that way; where a point is several pixels that
// blurs every line and outline. Called on a window's draw list right after
// the window begins, its edges feather over one pixel, as at scale 1.
//
// A 1-point outline is crisp only along an edge on a whole pixel: layouts
// that place edges at fractions of a point put them on the display's pixels.
#include "ui/geometry.h"

struct ImDrawList;

namespace corvane {

void feather_one_pixel(ImDrawList* dl);
void feather_one_pixel();  // the current window's

// Pixels per point of the display the frame is drawn for.
float display_pixels_per_point();

// The nearest whole pixel of that display.
float on_whole_pixel(float points);
Rect on_whole_pixels(const Rect& r);

}  // namespace corvane
