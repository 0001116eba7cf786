#include "ui/panel_host.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <cmath>
#include <string>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/theme.h"

namespace corvane {

namespace {

ImVec2 im(float x, float y) { return {x, y}; }

void paint_vertical_gradient(ImDrawList* dl, Rect r, Color32 top, Color32 bottom) {
    const ImVec2 uv = dl->_Data->TexUvWhitePixel;
    dl->PrimReserve(6, 4);
    const auto base = static_cast<ImDrawIdx>(dl->_VtxCurrentIdx);
    dl->PrimWriteVtx(im(r.left, r.top), uv, to_imu32(top));
    dl->PrimWriteVtx(im(r.right, r.top), uv, to_imu32(top));
    dl->PrimWriteVtx(im(r.left, r.bottom), uv, to_imu32(bottom));
    dl->PrimWriteVtx(im(r.right, r.bottom), uv, to_imu32(bottom));
    for (int i : {0, 1, 2, 1, 3, 2}) dl->PrimWriteIdx(static_cast<ImDrawIdx>(base + i));
}

// A ring of two rounded outlines, inner colour to outer colour.
void paint_feathered_rounded_rect(ImDrawList* dl, Rect r, float radius, float ramp, Color32 inner, Color32 outer) {
    const Rect in{r.left + ramp / 2, r.top + ramp / 2, r.right - ramp / 2, r.bottom - ramp / 2};
    const Rect out = r.expand(ramp / 2);
    const float rin = std::max(0.0f, radius - ramp / 2);
    const float rout = radius + ramp / 2;
    constexpr int kArc = 8;  // segments per corner
    constexpr int kPts = 4 * (kArc + 1);
    auto point = [&](const Rect& q, float rad, int i) {
        const int corner = i / (kArc + 1);
        const int step = i % (kArc + 1);
        const float a = (static_cast<float>(corner) * 90.0f - 90.0f + 90.0f * step / kArc) * IM_PI / 180.0f;
        const float cx = (corner == 0 || corner == 1) ? q.right - rad : q.left + rad;
        const float cy = (corner == 1 || corner == 2) ? q.bottom - rad : q.top + rad;
        return im(cx + rad * std::cos(a), cy + rad * std::sin(a));
    };
    const ImVec2 uv = dl->_Data->TexUvWhitePixel;
    dl->PrimReserve(kPts * 6 + (kPts - 2) * 3, kPts * 2);
    const auto base = static_cast<ImDrawIdx>(dl->_VtxCurrentIdx);
    for (int i = 0; i < kPts; ++i) {
        dl->PrimWriteVtx(point(in, rin, i), uv, to_imu32(inner));
        dl->PrimWriteVtx(point(out, rout, i), uv, to_imu32(outer));
    }
    for (int i = 0; i < kPts; ++i) {
        const int j = (i + 1) % kPts;
        for (int k : {2 * i, 2 * i + 1, 2 * j, 2 * j, 2 * i + 1, 2 * j + 1})
            dl->PrimWriteIdx(static_cast<ImDrawIdx>(base + k));
    }
    for (int i = 1; i + 1 < kPts; ++i)  // inner fill as a fan
        for (int k : {0, 2 * i, 2 * (i + 1)}) dl->PrimWriteIdx(static_cast<ImDrawIdx>(base + k));
}

// The edge of a resizable panel shows that it can be dragged: a line across
// it in the hovered widgets' stroke (white, 1 point) while the pointer is on
// it, the pressed widgets' (2 points) while it is dragged. Whole pixel rows:
// the panel's first, and the one above it too when 2 thick.
void paint_edge_line(ImDrawList* dl, Rect panel, bool dragged) {
    const Stroke s = widget_visuals(dragged ? WidgetState::Active : WidgetState::Hovered).text;
    const float y = std::round(panel.top);
    dl->AddRectFilled(im(panel.left, y + 1.0f - s.width), im(panel.right, y + 1.0f), to_imu32(s.color));
}

const char* panel_name(PanelId id) {
    static std::string names[32];
    std::string& n = names[static_cast<int>(id)];
    if (n.empty()) n = "panel_" + std::to_string(static_cast<int>(id));
    return n.c_str();
}

constexpr ImGuiWindowFlags kHostFlags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollWithMouse |
                                        ImGuiWindowFlags_NoBackground;

void host_window(const PlacedPanel& p, const PanelBody& body) {
    const float w = p.rect.width();
    ImGui::SetNextWindowPos(im((p.rect.left + p.rect.right) / 2, p.rect.top), ImGuiCond_Always,
                            im(0.5f, 0.5f));
    ImGui::SetNextWindowSizeConstraints(im(w, 0), im(w, FLT_MAX));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, im(24, 24));
    const bool open = ImGui::Begin(panel_name(p.spec.id), nullptr,
                                   ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                       ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                                       ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_AlwaysAutoResize);
    ImGui::PopStyleVar();
    if (open) {
        feather_one_pixel();
        const ImVec2 pos = ImGui::GetWindowPos(), size = ImGui::GetWindowSize();
        const Rect frame{pos.x, pos.y, pos.x + size.x, pos.y + size.y};
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->PushClipRectFullScreen();
        paint_window_shadow(dl, frame);
        dl->AddRectFilled(im(frame.left, frame.top), im(frame.right, frame.bottom), to_imu32(p.spec.fill), 12.0f);
        dl->AddRect(im(frame.left, frame.top), im(frame.right, frame.bottom), to_imu32(p.spec.line), 12.0f, 0, 1.0f);
        dl->PopClipRect();
        PlacedPanel live = p;
        live.rect = frame;
        live.content = {frame.left + 24, frame.top + 24, frame.right - 24, frame.bottom - 24};
        body(live);
    }
    ImGui::End();
}

}  // namespace

void paint_hline(ImDrawList* dl, float x0, float x1, float y, float width, Color32 color) {
    dl->AddRectFilled(im(x0, y - width / 2), im(x1, y + width / 2), to_imu32(color));
}

Rect card_inner(Rect r) { return {r.left + 18, r.top + 12, r.right - 18, r.bottom - 8}; }

void paint_card_frame(ImDrawList* dl, Rect r) {
    dl->AddRectFilled(im(r.left, r.top), im(r.right, r.bottom), to_imu32(palette::card_bg), 10.0f);
    dl->AddRect(im(r.left, r.top), im(r.right, r.bottom), to_imu32(palette::separator), 10.0f, 0, 1.0f);
}

void paint_window_shadow(ImDrawList* dl, Rect frame) {
    const Rect r{frame.left, frame.top + 12, frame.right, frame.bottom + 12};
    paint_feathered_rounded_rect(dl, r, 32.0f, 40.0f, Color32{0, 0, 0, 160}, Color32{});
}

void paint_panel_decoration(ImDrawList* dl, const PlacedPanel& p) {
    const Rect& r = p.rect;
    if (p.spec.kind == PanelKind::Window) return;  // painted with the window
    dl->AddRectFilled(im(r.left, r.top), im(r.right, r.bottom), to_imu32(p.spec.fill));
    switch (p.spec.decoration) {
    case PanelDecoration::None:
    case PanelDecoration::ScrollArea:
    case PanelDecoration::WindowFrame: break;
    case PanelDecoration::LineBottom: paint_hline(dl, r.left, r.right, r.bottom - 0.5f, 1.0f, p.spec.line); break;
    case PanelDecoration::LineTop: paint_hline(dl, r.left, r.right, r.top + 0.5f, 1.0f, p.spec.line); break;
    case PanelDecoration::AlertBar:
        dl->AddRectFilled(im(r.left, r.top), im(r.left + 3, r.bottom), to_imu32(palette::accent));
        paint_hline(dl, r.left, r.right, r.bottom - 0.5f, 1.0f, p.spec.line);
        break;
    case PanelDecoration::HeaderGradient:
        paint_vertical_gradient(dl, r, palette::card_bg, palette::strip_bg);
        paint_hline(dl, r.left, r.right, r.bottom - 0.5f, 1.0f, p.spec.line);
        break;
    case PanelDecoration::CardFrame:
        if (p.content.width() > 0 && p.content.height() > 0) paint_card_frame(dl, p.content);
        break;
    }
}

void host_panels(const PanelInputs& in, PanelHeights& heights, const PanelBody& body) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const std::vector<PlacedPanel> panels = layout_panels({0, 0, display.x, display.y}, in, heights);

    ImGui::SetNextWindowPos(im(0, 0));
    ImGui::SetNextWindowSize(display);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, im(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
    ImGui::Begin("corvane_root", nullptr, kHostFlags | ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImGui::PopStyleVar(3);
    feather_one_pixel();

    std::vector<const PlacedPanel*> windows;
    for (const PlacedPanel& p : panels) {
        if (p.spec.kind == PanelKind::Window) {
            windows.push_back(&p);
            continue;
        }
        if (p.rect.width() <= 0 || p.rect.height() <= 0) continue;
        ImGui::SetCursorScreenPos(im(p.rect.left, p.rect.top));
        ImGui::BeginChild(panel_name(p.spec.id), im(p.rect.width(), p.rect.height()), false,
                          kHostFlags | ImGuiWindowFlags_NoScrollbar);
        feather_one_pixel();
        paint_panel_decoration(ImGui::GetWindowDrawList(), p);
        Rect content = p.content;
        if (p.spec.decoration == PanelDecoration::CardFrame) content = card_inner(p.content);
        ImGui::SetCursorScreenPos(im(content.left, content.top));
        body(p);
        ImGui::EndChild();
    }

    // Grab bands last, so they sit above the panels they straddle.
    for (const PlacedPanel& p : panels) {
        if (!p.grab_band) continue;
        const Rect band = *p.grab_band;
        ImGui::SetCursorScreenPos(im(band.left, band.top));
        const std::string name = std::string(panel_name(p.spec.id)) + "_grab";
        ImGui::BeginChild(name.c_str(), im(band.width(), band.height()), false, kHostFlags | ImGuiWindowFlags_NoScrollbar);
        const Response r = interact(band, ImGui::GetID("grab"), Sense::Click, ItemRole::Overlay);
        if (r.hovered || r.held) {
            ImGui::SetMouseCursor(ImGuiMouseCursor_ResizeNS);
            paint_edge_line(ImGui::GetWindowDrawList(), p.rect, r.held);
        }
        if (r.held)
            heights[p.spec.id] = dragged_panel_height(p.rect.bottom, ImGui::GetIO().MousePos.y, p.spec.min_size,
                                                      p.available);
        ImGui::EndChild();
    }
    ImGui::End();

    for (const PlacedPanel* w : windows) host_window(*w, body);
}

}  // namespace corvane
