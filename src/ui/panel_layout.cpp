#include "ui/panel_layout.h"

#include <algorithm>

#include "ui/palette.h"

namespace corvane {

namespace {

using D = PanelDecoration;
using K = PanelKind;

PanelSpec top(PanelId id, float h, Color32 fill, D deco, Color32 line = palette::separator) {
    return {id, K::Top, h, 0.0f, false, fill, {}, deco, line};
}
PanelSpec bottom(PanelId id, float h, Color32 fill, D deco, Color32 line) {
    return {id, K::Bottom, h, 0.0f, false, fill, {}, deco, line};
}
PanelSpec chart(PanelId id, float h, float min, Margins m) {
    return {id, K::Bottom, h, min, true, palette::panel_bg, m, D::CardFrame, palette::separator};
}
PanelSpec central(PanelId id, Margins m, D deco = D::None) {
    return {id, K::Central, 0.0f, 0.0f, false, palette::panel_bg, m, deco, {}};
}
PanelSpec window(PanelId id, float w) {
    return {id, K::Window, w, 0.0f, false, rgb(20, 20, 20), {24, 24, 24, 24}, D::WindowFrame, rgb(42, 42, 42)};
}

}  // namespace

std::vector<PanelSpec> frame_panels(const PanelInputs& in) {
    std::vector<PanelSpec> p;
    p.push_back(top(PanelId::Toolbar, 60, palette::panel_bg, D::LineBottom));
    p.push_back(top(in.view == ViewMode::Trace ? PanelId::TraceTabStrip : PanelId::WatchTabStrip, 40,
                    palette::strip_bg, D::LineBottom));
    if (in.editor_open) p.push_back(window(PanelId::ListEditor, 520));
    if (in.error_banner) p.push_back(top(PanelId::ErrorBanner, 40, rgb(36, 12, 12), D::None));
    if (in.has_alerts) p.push_back(top(PanelId::AlertBanner, 44, rgb(30, 15, 6), D::AlertBar, rgb(60, 28, 10)));
    p.push_back(bottom(PanelId::StatusBar, 28, palette::strip_bg, D::LineTop, palette::separator));
    if (in.playback_bar) p.push_back(bottom(PanelId::PlaybackBar, 64, rgb(18, 12, 8), D::LineTop, rgb(70, 32, 10)));
    if (in.settings_open) p.push_back(window(PanelId::Settings, 540));

    if (in.view == ViewMode::Trace && in.layout == LayoutMode::Signal) {
        p.push_back({PanelId::RouteLog, K::Left, 364, 0, false, palette::panel_bg, {24, 0, 16, 16}, D::None, {}});
        p.push_back(chart(PanelId::SignalChart, 290, 200, {20, 24, 8, 16}));
        p.push_back(central(PanelId::CompactHopTable, {20, 24, 16, 8}));
    } else if (in.view == ViewMode::Trace) {
        p.push_back(top(PanelId::SummaryStrip, 104, palette::panel_bg, D::HeaderGradient));
        p.push_back(chart(PanelId::InstrumentChart, 230, 180, {24, 24, 6, 12}));
        p.push_back(central(PanelId::WideHopTable, {24, 24, 4, 0}));
    } else if (!in.watch_has_content) {
        p.push_back(central(PanelId::ListLibrary, {32, 32, 8, 8}, D::ScrollArea));
    } else {
        p.push_back(top(PanelId::WatchHeader, 104, palette::panel_bg, D::HeaderGradient));
        p.push_back(chart(PanelId::WatchChart, 230, 180, {24, 24, 6, 12}));
        p.push_back(central(PanelId::WatchTable, {24, 24, 4, 0}));
    }
    return p;
}

float dragged_panel_height(float panel_bottom, float pointer_y, float min_height, float available_height) {
    const float wanted = std::max(panel_bottom - pointer_y, min_height);
    return std::max(0.0f, std::min(wanted, available_height));
}

std::vector<PlacedPanel> layout_panels(Rect viewport, const PanelInputs& in, const PanelHeights& heights) {
    std::vector<PlacedPanel> out;
    Rect avail = viewport;
    for (const PanelSpec& spec : frame_panels(in)) {
        PlacedPanel placed{spec, {}, {}, std::nullopt, 0.0f};
        const float avail_h = std::max(0.0f, avail.height());
        placed.available = spec.kind == K::Left ? std::max(0.0f, avail.width()) : avail_h;
        switch (spec.kind) {
        case K::Top: {
            const float h = std::min(spec.size, avail_h);
            placed.rect = {avail.left, avail.top, avail.right, avail.top + h};
            avail.top += h;
            break;
        }
        case K::Bottom: {
            float h = spec.size;
            if (spec.resizable) {
                if (auto it = heights.find(spec.id); it != heights.end()) h = it->second;
                h = std::max(h, spec.min_size);
            }
            h = std::max(0.0f, std::min(h, avail_h));
            placed.rect = {avail.left, avail.bottom - h, avail.right, avail.bottom};
            avail.bottom -= h;
            if (spec.resizable)
                placed.grab_band =
                    Rect{placed.rect.left, placed.rect.top - kGrabBand, placed.rect.right, placed.rect.top + kGrabBand};
            break;
        }
        case K::Left: {
            const float w = std::min(spec.size, std::max(0.0f, avail.width()));
            placed.rect = {avail.left, avail.top, avail.left + w, avail.bottom};
            avail.left += w;
            break;
        }
        case K::Central:
            placed.rect = avail;
            break;
        case K::Window: {
            // Centred on the main window; the height follows the contents.
            const Vec2 c = viewport.center();
            const float w = spec.size + spec.margins.left + spec.margins.right;
            placed.rect = {c.x - w / 2, c.y, c.x + w / 2, c.y};
            break;
        }
        }
        const Rect& r = placed.rect;
        placed.content = {r.left + spec.margins.left, r.top + spec.margins.top, r.right - spec.margins.right,
                          r.bottom - spec.margins.bottom};
        if (spec.kind == K::Window) placed.content = r;
        out.push_back(placed);
    }
    return out;
}

const PlacedPanel* find_panel(const std::vector<PlacedPanel>& panels, PanelId id) {
    for (const PlacedPanel& p : panels)
        if (p.spec.id == id) return &p;
    return nullptr;
}

}  // namespace corvane
