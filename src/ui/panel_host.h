#pragma once
// Hosts the laid-out panels in ImGui: one full-screen root window holding a
// borderless child window per panel, each painted with its fill and
// decoration before its body runs; floating windows centred with their frame
// and shadow; drag bands that resize the resizable panels.
#include <functional>
#include <vector>

#include "ui/panel_layout.h"

struct ImDrawList;

namespace corvane {

// Body of one panel, called inside its child window (or floating window) with
// the cursor at the content's left-top.
using PanelBody = std::function<void(const PlacedPanel&)>;

// Lays out and draws one frame's panels in the whole display. `heights` keeps
// the resizable panels' heights between frames.
void host_panels(const PanelInputs& in, PanelHeights& heights, const PanelBody& body);

// The panel's own painting, apart from hosting (also used by tests).
void paint_panel_decoration(ImDrawList* dl, const PlacedPanel& p);

// A horizontal line `width` thick centred on y.
void paint_hline(ImDrawList* dl, float x0, float x1, float y, float width, Color32 color);

// Card frame (fill 17, stroke 31, radius 10) and its inner margins.
void paint_card_frame(ImDrawList* dl, Rect r);
Rect card_inner(Rect r);

// Shadow under a floating window frame: offset (0, 12), a 40-point ramp,
// black at alpha 160.
void paint_window_shadow(ImDrawList* dl, Rect frame);

}  // namespace corvane
