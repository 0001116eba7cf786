#pragma once
// ImGui feathers anti-aliased edges over one point, and every window's draw
// list starts each frame that way; where a point is several pixels that
// blurs every line and outline. Called on a window's draw list right after
// the window begins, its edges feather over one pixel, as at scale 1.
struct ImDrawList;

namespace corvane {

void feather_one_pixel(ImDrawList* dl);
void feather_one_pixel();  // the current window's

}  // namespace corvane
