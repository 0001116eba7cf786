#include "ui/panel_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

using P = PanelId;
const Rect kWindow{0, 0, 1400, 880};

std::vector<PanelId> ids(const std::vector<PlacedPanel>& panels) {
    std::vector<PanelId> out;
    for (const PlacedPanel& p : panels) out.push_back(p.spec.id);
    return out;
}

Rect rect_of(const std::vector<PlacedPanel>& panels, PanelId id) {
    const PlacedPanel* p = find_panel(panels, id);
    EXPECT_NE(p, nullptr) << int(id);
    return p ? p->rect : Rect{};
}

struct ViewCase {
    const char* name;
    PanelInputs in;
    std::vector<PanelId> order;
    std::vector<std::pair<PanelId, Rect>> rects;
};

TEST(PanelLayout, EveryViewAndLayout) {
    PanelInputs instrument;
    PanelInputs signal;
    signal.layout = LayoutMode::Signal;
    PanelInputs watch;
    watch.view = ViewMode::Watch;
    watch.watch_has_content = true;
    PanelInputs library;
    library.view = ViewMode::Watch;
    PanelInputs library_signal = library;  // the watch view ignores the layout
    library_signal.layout = LayoutMode::Signal;

    const ViewCase cases[] = {
        {"instrument", instrument,
         {P::Toolbar, P::TraceTabStrip, P::StatusBar, P::SummaryStrip, P::InstrumentChart, P::WideHopTable},
         {{P::Toolbar, {0, 0, 1400, 60}},
          {P::TraceTabStrip, {0, 60, 1400, 100}},
          {P::StatusBar, {0, 852, 1400, 880}},
          {P::SummaryStrip, {0, 100, 1400, 204}},
          {P::InstrumentChart, {0, 622, 1400, 852}},
          {P::WideHopTable, {0, 204, 1400, 622}}}},
        {"signal", signal,
         {P::Toolbar, P::TraceTabStrip, P::StatusBar, P::RouteLog, P::SignalChart, P::CompactHopTable},
         {{P::RouteLog, {0, 100, 364, 852}},
          {P::SignalChart, {364, 562, 1400, 852}},
          {P::CompactHopTable, {364, 100, 1400, 562}}}},
        {"watch", watch,
         {P::Toolbar, P::WatchTabStrip, P::StatusBar, P::WatchHeader, P::WatchChart, P::WatchTable},
         {{P::WatchHeader, {0, 100, 1400, 204}},
          {P::WatchChart, {0, 622, 1400, 852}},
          {P::WatchTable, {0, 204, 1400, 622}}}},
        {"library", library, {P::Toolbar, P::WatchTabStrip, P::StatusBar, P::ListLibrary},
         {{P::ListLibrary, {0, 100, 1400, 852}}}},
        {"library ignores layout", library_signal, {P::Toolbar, P::WatchTabStrip, P::StatusBar, P::ListLibrary}, {}},
    };
    for (const ViewCase& c : cases) {
        const auto panels = layout_panels(kWindow, c.in, {});
        EXPECT_EQ(ids(panels), c.order) << c.name;
        for (const auto& [id, want] : c.rects) EXPECT_EQ(rect_of(panels, id), want) << c.name << " panel " << int(id);
    }
}

TEST(PanelLayout, ContentRectsHonourMargins) {
    PanelInputs signal;
    signal.layout = LayoutMode::Signal;
    const auto panels = layout_panels(kWindow, signal, {});
    EXPECT_EQ(find_panel(panels, P::RouteLog)->content, (Rect{24, 116, 364, 836}));
    EXPECT_EQ(find_panel(panels, P::SignalChart)->content, (Rect{384, 570, 1376, 836}));
    EXPECT_EQ(find_panel(panels, P::CompactHopTable)->content, (Rect{384, 116, 1376, 554}));
    EXPECT_EQ(find_panel(panels, P::Toolbar)->content, (Rect{24, 0, 1376, 60}));
}

TEST(PanelLayout, BannersAndPlaybackStackInOrder) {
    PanelInputs in;
    in.error_banner = true;
    in.has_alerts = true;
    in.playback_bar = true;
    in.editor_open = true;
    in.settings_open = true;
    const auto panels = layout_panels(kWindow, in, {});
    EXPECT_EQ(ids(panels), (std::vector<PanelId>{P::Toolbar, P::TraceTabStrip, P::ListEditor, P::ErrorBanner,
                                                  P::AlertBanner, P::StatusBar, P::PlaybackBar, P::Settings,
                                                  P::SummaryStrip, P::InstrumentChart, P::WideHopTable}));
    // Error banner above the alert banner, both below the tab strip.
    EXPECT_EQ(rect_of(panels, P::ErrorBanner), (Rect{0, 100, 1400, 140}));
    EXPECT_EQ(rect_of(panels, P::AlertBanner), (Rect{0, 140, 1400, 184}));
    // Status bar at the very bottom, the playback bar above it.
    EXPECT_EQ(rect_of(panels, P::PlaybackBar), (Rect{0, 788, 1400, 852}));
    EXPECT_EQ(rect_of(panels, P::SummaryStrip).top, 184);
    EXPECT_EQ(rect_of(panels, P::InstrumentChart).bottom, 788);
    // Floating windows take no space and are centred; widths include margins.
    const PlacedPanel* editor = find_panel(panels, P::ListEditor);
    EXPECT_EQ(editor->rect.width(), 568);
    EXPECT_EQ(editor->rect.center(), (Vec2{700, 440}));
    EXPECT_EQ(find_panel(panels, P::Settings)->rect.width(), 588);
}

TEST(PanelLayout, ResizablePanelsKeepHeightsWithinBounds) {
    PanelInputs signal;
    signal.layout = LayoutMode::Signal;
    struct Case {
        const char* name;
        Rect window;
        PanelHeights heights;
        float want_chart;
    } cases[] = {
        {"default", kWindow, {}, 290},
        {"stored", kWindow, {{P::SignalChart, 400}}, 400},
        {"below minimum", kWindow, {{P::SignalChart, 50}}, 200},
        {"other panel's height ignored", kWindow, {{P::InstrumentChart, 500}}, 290},
        {"taller than the room left", kWindow, {{P::SignalChart, 5000}}, 752},
        {"tiny window", {0, 0, 1400, 250}, {}, 122},
    };
    for (const Case& c : cases) {
        const auto panels = layout_panels(c.window, signal, c.heights);
        const PlacedPanel* chart = find_panel(panels, P::SignalChart);
        EXPECT_FLOAT_EQ(chart->rect.height(), c.want_chart) << c.name;
        const Rect central = rect_of(panels, P::CompactHopTable);
        EXPECT_GE(central.height(), 0) << c.name;
        ASSERT_TRUE(chart->grab_band) << c.name;
        EXPECT_FLOAT_EQ(chart->grab_band->height(), 2 * kGrabBand);
        EXPECT_FLOAT_EQ(chart->grab_band->center().y, chart->rect.top);
        EXPECT_EQ(chart->grab_band->left, 364) << c.name;
    }
    // Fixed panels have no grab band.
    for (const PlacedPanel& p : layout_panels(kWindow, signal, {}))
        if (p.spec.id != P::SignalChart) {
            EXPECT_FALSE(p.grab_band) << int(p.spec.id);
        }
}

TEST(PanelLayout, DraggingTheTopEdge) {
    struct Case {
        float pointer_y;
        float want;
    } cases[] = {
        {562, 290},   // at the edge: unchanged
        {500, 352},   // up: taller
        {800, 200},   // down past the minimum
        {-500, 752},  // above the room left
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(dragged_panel_height(852, c.pointer_y, 200, 752), c.want) << c.pointer_y;
}

TEST(PanelLayout, SignalLeftPanelKeepsItsWidth) {
    PanelInputs signal;
    signal.layout = LayoutMode::Signal;
    for (float w : {1240.0f, 1400.0f, 2560.0f}) {
        const auto panels = layout_panels({0, 0, w, 720}, signal, {});
        EXPECT_EQ(rect_of(panels, P::RouteLog).width(), 364) << w;
        EXPECT_EQ(rect_of(panels, P::SignalChart).left, 364) << w;
    }
}

TEST(PanelLayout, PanelLooks) {
    PanelInputs in;
    in.has_alerts = true;
    const auto panels = layout_panels(kWindow, in, {});
    const PlacedPanel* alert = find_panel(panels, P::AlertBanner);
    EXPECT_EQ(alert->spec.fill, rgb(30, 15, 6));
    EXPECT_EQ(alert->spec.decoration, PanelDecoration::AlertBar);
    EXPECT_EQ(alert->spec.line, rgb(60, 28, 10));
    EXPECT_EQ(find_panel(panels, P::Toolbar)->spec.fill, rgb(10, 10, 10));
    EXPECT_EQ(find_panel(panels, P::TraceTabStrip)->spec.fill, rgb(13, 13, 13));
    EXPECT_EQ(find_panel(panels, P::SummaryStrip)->spec.decoration, PanelDecoration::HeaderGradient);
    EXPECT_EQ(find_panel(panels, P::InstrumentChart)->spec.decoration, PanelDecoration::CardFrame);
    EXPECT_EQ(find_panel(panels, P::StatusBar)->spec.decoration, PanelDecoration::LineTop);
}

}  // namespace
}  // namespace corvane
