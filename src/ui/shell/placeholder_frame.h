#pragma once
// The frame until the application object takes over: every panel of the
// current view and layout present, sized and decorated, with empty bodies.
//
// The application plugs in by implementing FrameDriver: its frame() runs the
// per-frame update (shortcuts, snapshots, alerts, ...) and calls host_panels()
// with the App's view, layout and flags and a body that dispatches on the
// panel id to the views; its on_close() stops the sessions and flushes their
// history writers. main() then constructs it instead of this one.
#include "ui/panel_layout.h"
#include "ui/shell.h"

namespace corvane {

class PlaceholderFrame final : public FrameDriver {
public:
    // With `probes`, the central panel also shows a hovered and a selected
    // table row so screenshots can check the translucent fills.
    PlaceholderFrame(PanelInputs inputs, bool probes) : inputs_(inputs), probes_(probes) {}
    void frame(Shell& shell) override;

private:
    PanelInputs inputs_;
    PanelHeights heights_;
    bool probes_;
};

// Test-only: CORVANE_TEST_VIEW = "instrument" (default), "signal", "watch"
// (header, chart and table) or "library" picks the placeholder's panels.
PanelInputs placeholder_inputs_from_env();

}  // namespace corvane
