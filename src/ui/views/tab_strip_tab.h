#pragma once
// One tab of a strip, drawn the same way for trace tabs and watch tabs: raised
// and underlined when active, status dot, title and subtitle, close button.
#include <cstddef>

#include "ui/geometry.h"
#include "ui/views/tab_strip_model.h"

namespace corvane {

struct StripTabStyle {
    float max_width = kTraceTabMaxWidth;
    const char* close_id = "close_tab";  // with the tab's index, the close area's id
    const char* tab_id = "trace_tab";
    const char* close_tooltip = "";
};

struct StripTabResult {
    Rect rect;
    bool close_clicked = false;
    bool select_clicked = false;  // never together with close_clicked
};

// Draws tab `index` with its left-top at `left_top` in the current window.
StripTabResult draw_strip_tab(const TabLook& look, Vec2 left_top, bool active, std::size_t index,
                              const StripTabStyle& style);

// The 18 x 18 close area of a tab occupying `tab`, centred 14 in from its right edge.
Rect tab_close_area(Rect tab);

}  // namespace corvane
