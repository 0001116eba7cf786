#pragma once
// Test-only: every panel of one view and layout present, sized and
// decorated, with empty bodies (a few sample rows with `probes`), so the
// window tests can check the palette's fills and lines at fixed points
// whatever the views draw.
#include "ui/panel_layout.h"
#include "ui/shell.h"

namespace corvane {

class PlaceholderFrame final : public FrameDriver {
public:
    // With `probes`, the central panel also shows a hovered and a selected
    // table row so screenshots can check the translucent fills.
    PlaceholderFrame(PanelInputs inputs, bool probes) : inputs_(inputs), probes_(probes) {}
    void frame(Shell& shell, const KeyboardFrame& keys) override;

private:
    PanelInputs inputs_;
    PanelHeights heights_;
    bool probes_;
};

// Test-only: CORVANE_TEST_VIEW = "instrument" (default), "signal", "watch"
// (header, chart and table) or "library" picks the placeholder's panels.
PanelInputs placeholder_inputs_from_env();

}  // namespace corvane
