#pragma once
// A vertical scroll area in a child window: the wheel moves 40 points a
// notch, and a draggable bar floats over the contents at the right edge
// (shown only while the pointer is over the area) instead of taking width
// from them. The offset lives in ui_memory() and is clamped every frame.
#include <optional>

#include "ui/geometry.h"

namespace corvane {

inline constexpr float kScrollWheelStep = 40.0f;  // points per wheel notch
inline constexpr float kScrollBarWidth = 6.0f;
inline constexpr float kScrollBarInset = 2.0f;    // from the area's right edge
inline constexpr float kScrollThumbMin = 20.0f;   // keeps a huge list's thumb grabbable

// Where the bar must not float over the contents (a table with buttons at
// its right end), it takes a gutter of its own: the bar and its inset on
// either side. The width left for the contents: the area's, less the gutter
// when the contents are taller than the area.
inline constexpr float kScrollGutter = kScrollBarWidth + 2.0f * kScrollBarInset;
float scroll_content_width(Rect area, float content_h);

// The thumb on `track` for contents `content_h` high scrolled by `scroll`:
// its x range is the track's, its length proportional to the share in view
// (at least `min_h`, at most the track), its top following the offset. Zero
// height at the track's top when everything fits.
Rect scroll_thumb_rect(Rect track, float content_h, float scroll, float min_h = kScrollThumbMin);

// The offset after `notches` of the wheel (positive = towards the top),
// kept within [0, max_scroll].
float scroll_after_wheel(float scroll, float notches, float max_scroll);

// Opens the area over `area` with its contents at the area's left-top and no
// vertical item spacing. Give `content_h` when the caller knows the height of
// what it will draw: the offset is then clamped against this frame's contents,
// so a list that just shrank is never shown scrolled past its end; without it,
// last frame's measured height is used. Returns false (and opens nothing) when
// the area has no room; call end_scroll_area only after a true. Areas don't
// nest.
bool begin_scroll_area(const char* id, Rect area, std::optional<float> content_h = std::nullopt);
void end_scroll_area();

}  // namespace corvane
