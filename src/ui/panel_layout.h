#pragma once
// Which panels and windows the main window holds in each view and layout, in
// the order they are added, and the rectangles they get. The order decides the
// stacking: a top panel added earlier sits higher, a bottom panel added earlier
// sits lower, and a side panel takes its width before later top and bottom
// panels.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "main/settings.h"
#include "ui/color.h"
#include "ui/geometry.h"

namespace corvane {

// Every panel has its own fixed id; the three chart cards and the two hop
// tables are distinct panels, so each keeps its own height.
enum class PanelId : std::uint8_t {
    Toolbar,
    TraceTabStrip,
    WatchTabStrip,
    ListEditor,
    ErrorBanner,
    AlertBanner,
    StatusBar,
    PlaybackBar,
    Settings,
    RouteLog,          // Signal: destination card and route log, on the left
    SignalChart,       // Signal: 60-bar chart card
    CompactHopTable,   // Signal: central
    SummaryStrip,      // Instrument: header
    InstrumentChart,   // Instrument: line chart card
    WideHopTable,      // Instrument: central
    ListLibrary,       // Watch with nothing to show
    WatchHeader,
    WatchChart,
    WatchTable,
};

enum class PanelKind : std::uint8_t { Top, Bottom, Left, Central, Window };

// What a panel's body paints before its contents.
enum class PanelDecoration : std::uint8_t {
    None,
    LineBottom,       // a 1-point line half a point inside the bottom edge
    LineTop,          // the same at the top edge
    AlertBar,         // a 3-wide accent bar at the left edge, and LineBottom
    HeaderGradient,   // vertical gradient 17 -> 13, then LineBottom
    CardFrame,        // the chart card inside the margins
    ScrollArea,       // contents in a vertical scroll area
    WindowFrame,      // floating window: shadow, fill, stroke
};

struct Margins {
    float left = 24.0f, right = 24.0f, top = 0.0f, bottom = 0.0f;
};

struct PanelSpec {
    PanelId id{};
    PanelKind kind{};
    float size = 0.0f;       // height (top, bottom), width (left, window); 0 for central
    float min_size = 0.0f;   // resizable bottom panels only
    bool resizable = false;
    Color32 fill;
    Margins margins;
    PanelDecoration decoration = PanelDecoration::None;
    Color32 line;            // colour of the decoration's line
};

// What decides the frame's panels.
struct PanelInputs {
    ViewMode view = ViewMode::Trace;
    LayoutMode layout = LayoutMode::Instrument;
    bool editor_open = false;
    bool error_banner = false;
    bool has_alerts = false;
    bool playback_bar = false;     // a recording of the current view's kind is loaded
    bool settings_open = false;
    bool watch_has_content = false;  // a watch tab is open or a watch recording loaded
};

std::vector<PanelSpec> frame_panels(const PanelInputs& in);

struct PlacedPanel {
    PanelSpec spec;
    Rect rect;              // the panel's full area (windows: zero height, centred)
    Rect content;           // rect less the margins
    std::optional<Rect> grab_band;  // resizable panels: where a drag resizes
    float available = 0.0f;  // height (width for side panels) left when it was placed
};

// Heights of the resizable panels as the user left them; absent ones take
// their defaults.
using PanelHeights = std::map<PanelId, float>;

// How far to either side of a resizable panel's edge a drag takes hold.
inline constexpr float kGrabBand = 5.0f;

// Lays out frame_panels(in) in `viewport`. A resizable panel keeps at least its
// minimum height but never more than the height left, so the central panel's
// height never goes below 0.
std::vector<PlacedPanel> layout_panels(Rect viewport, const PanelInputs& in, const PanelHeights& heights);

// The height a resizable bottom panel takes while its top edge is dragged to
// `pointer_y`.
float dragged_panel_height(float panel_bottom, float pointer_y, float min_height, float available_height);

const PlacedPanel* find_panel(const std::vector<PlacedPanel>& panels, PanelId id);

}  // namespace corvane
