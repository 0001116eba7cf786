#include "ui/views/toolbar_widgets.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

constexpr float kDeg = std::numbers::pi_v<float> / 180.0f;

ImVec2 at(Vec2 c, float dx, float dy) { return ImVec2(c.x + dx, c.y + dy); }

void paint_button_frame(ImDrawList* dl, Rect r, Color32 border) {
    paint_framed_rect(dl, r, palette::widget_bg, border, 6.0f);
}

// An open arc of `points` points around c, angles in degrees on screen.
void arc(ImDrawList* dl, Vec2 c, float radius, float from_deg, float to_deg, int points, ImU32 col, float width) {
    ImVec2 pts[32];
    points = std::min(points, 32);
    for (int i = 0; i < points; ++i) {
        const float a = (from_deg + (to_deg - from_deg) * static_cast<float>(i) / static_cast<float>(points - 1)) * kDeg;
        pts[i] = ImVec2(c.x + radius * std::cos(a), c.y + radius * std::sin(a));
    }
    dl->AddPolyline(pts, points, col, ImDrawFlags_None, width);
}

void paint_gear(ImDrawList* dl, Vec2 c, ImU32 col) {
    for (int k = 0; k < 8; ++k) {
        const float a = 45.0f * static_cast<float>(k) * kDeg;
        dl->AddLine(at(c, 5.5f * std::cos(a), 5.5f * std::sin(a)), at(c, 8.5f * std::cos(a), 8.5f * std::sin(a)), col,
                    2.6f);
    }
    dl->AddCircle(to_im(c), 5.5f, col, 24, 2.0f);
    dl->AddCircleFilled(to_im(c), 2.0f, col, 12);
}

void paint_speaker(ImDrawList* dl, Vec2 c, ImU32 col, bool on) {
    const float x0 = c.x - 3.0f;
    dl->AddRectFilled(ImVec2(x0 - 6.0f, c.y - 3.0f), ImVec2(x0 - 2.0f, c.y + 3.0f), col, 1.0f);
    const ImVec2 cone[4] = {ImVec2(x0 - 2.0f, c.y - 3.0f), ImVec2(x0 + 3.0f, c.y - 7.0f), ImVec2(x0 + 3.0f, c.y + 7.0f),
                            ImVec2(x0 - 2.0f, c.y + 3.0f)};
    dl->AddConvexPolyFilled(cone, 4, col);
    if (on) {
        arc(dl, {x0 + 1.5f, c.y}, 5.5f, -50.0f, 50.0f, 11, col, 1.6f);
        arc(dl, {x0 + 1.5f, c.y}, 9.0f, -55.0f, 55.0f, 11, col, 1.6f);
    } else {
        const Vec2 x{x0 + 9.0f, c.y};
        dl->AddLine(at(x, -3.5f, -3.5f), at(x, 3.5f, 3.5f), col, 1.8f);
        dl->AddLine(at(x, -3.5f, 3.5f), at(x, 3.5f, -3.5f), col, 1.8f);
    }
}

void paint_history_clock(ImDrawList* dl, Vec2 c, ImU32 col) {
    arc(dl, c, 8.0f, -200.0f, 90.0f, 25, col, 1.8f);
    const Vec2 p{c.x + 8.0f * std::cos(-200.0f * kDeg), c.y + 8.0f * std::sin(-200.0f * kDeg)};
    dl->AddTriangleFilled(at(p, -3.5f, -1.0f), at(p, 2.5f, -1.5f), at(p, -0.5f, 3.5f), col);
    dl->AddLine(to_im(c), at(c, 0.0f, -4.5f), col, 1.8f);
    dl->AddLine(to_im(c), at(c, 3.5f, 2.0f), col, 1.8f);
}

}  // namespace

void paint_logo(ImDrawList* dl, Rect r) {
    fill_rounded_rect(dl, r, r.width() / 4.0f, palette::accent, palette::accent_dark);
    const float s = r.width() / 28.0f;
    static constexpr float kPulse[7][2] = {{4, 18}, {9, 18}, {11.5f, 8}, {14.5f, 22}, {17, 14}, {19, 18}, {24, 18}};
    ImVec2 pts[7];
    for (int i = 0; i < 7; ++i) pts[i] = ImVec2(r.left + kPulse[i][0] * s, r.top + kPulse[i][1] * s);
    dl->AddPolyline(pts, 7, to_imu32(palette::text_white), ImDrawFlags_None, 2.0f * s);
}

namespace {
constexpr FontId kWordmarkFont{FontFamily::Semibold, 19.0f};
}

Vec2 wordmark_size() {
    const Galley a = layout_text("Cor", kWordmarkFont, palette::text_primary);
    const Galley b = layout_text("vane", kWordmarkFont, palette::accent);
    return {a.size.x + b.size.x, std::max(a.size.y, b.size.y)};
}

void paint_wordmark(ImDrawList* dl, Vec2 left_top) {
    const Galley a = layout_text("Cor", kWordmarkFont, palette::text_primary);
    const Galley b = layout_text("vane", kWordmarkFont, palette::accent);
    paint_galley(dl, left_top, a);
    paint_galley(dl, {left_top.x + a.size.x, left_top.y}, b);
}

Response draw_start_stop_button(Rect r, bool running) {
    const Response resp = interact(r, ImGui::GetID("start_stop"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(ImVec2(r.left - 1, r.top - 1), ImVec2(r.right + 1, r.bottom + 1), true);
    const Vec2 c = r.center();
    if (running) {
        paint_button_frame(dl, r, resp.hovered ? palette::border_hover : palette::border);
        const Galley g = layout_text("Stop", {FontFamily::Medium, 13.0f}, palette::text_primary);
        const float x = c.x - (g.size.x + 17.0f) / 2.0f;
        dl->AddRectFilled(ImVec2(x, c.y - 4.5f), ImVec2(x + 9.0f, c.y + 4.5f), to_imu32(palette::bad_red), 2.0f);
        const Rect t = anchor_rect({x + 17.0f, c.y}, anchor::left_center, g.size);
        paint_galley(dl, {t.left, t.top}, g);
    } else {
        paint_primary_fill(dl, r, 6.0f, resp.hovered);
        const Galley g = layout_text("Start", {FontFamily::Semibold, 13.0f}, palette::text_white);
        const float x = c.x - (g.size.x + 16.0f) / 2.0f;
        dl->AddTriangleFilled(ImVec2(x, c.y - 5.0f), ImVec2(x + 8.0f, c.y), ImVec2(x, c.y + 5.0f),
                              to_imu32(palette::text_white));
        const Rect t = anchor_rect({x + 16.0f, c.y}, anchor::left_center, g.size);
        paint_galley(dl, {t.left, t.top}, g);
    }
    dl->PopClipRect();
    pointing_hand_if_hovered(resp);
    return resp;
}

Response draw_icon_button(Rect r, const char* id, ToolbarIcon icon, std::string_view tooltip) {
    const Response resp = interact(r, ImGui::GetID(id), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const bool muted = icon == ToolbarIcon::SoundMuted;
    Color32 border = resp.hovered ? palette::border_hover : palette::border;
    Color32 ink = resp.hovered ? palette::text_primary : palette::icon_idle;
    if (muted) {
        border = palette::muted_border;
        ink = palette::accent;
    }
    paint_button_frame(dl, r, border);
    const Vec2 c = r.center();
    switch (icon) {
    case ToolbarIcon::Settings: paint_gear(dl, c, to_imu32(ink)); break;
    case ToolbarIcon::SoundOn: paint_speaker(dl, c, to_imu32(ink), true); break;
    case ToolbarIcon::SoundMuted: paint_speaker(dl, c, to_imu32(ink), false); break;
    case ToolbarIcon::Playback: paint_history_clock(dl, c, to_imu32(ink)); break;
    }
    pointing_hand_if_hovered(resp);
    hover_tooltip_text(resp, tooltip);
    return resp;
}

Response draw_recent_button(Rect r) {
    const Response resp = interact(r, ImGui::GetID("recent_targets"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_button_frame(dl, r, resp.hovered ? palette::border_hover : palette::border);
    const Vec2 c = r.center();
    dl->AddTriangleFilled(at(c, -4.5f, -2.0f), at(c, 4.5f, -2.0f), at(c, 0.0f, 3.0f),
                          to_imu32(resp.hovered ? palette::text_primary : palette::icon_idle));
    pointing_hand_if_hovered(resp);
    hover_tooltip_text(resp, "Recent targets");
    return resp;
}

namespace {
constexpr FontId kNewListFont{FontFamily::Medium, 12.5f};
}

Vec2 new_list_button_size() {
    const Galley g = layout_text("New list", kNewListFont, palette::text_primary);
    return {g.size.x + 2.0f * theme::button_padding_x, std::max(34.0f, g.size.y + 2.0f * theme::button_padding_y)};
}

Response draw_new_list_button(Rect r) {
    const Response resp = interact(r, ImGui::GetID("new_list"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_button_frame(dl, r, palette::border);
    const Galley g = layout_text("New list", kNewListFont, palette::text_primary);
    const Rect t = anchor_rect(r.center(), anchor::center_center, g.size);
    paint_galley(dl, {t.left, t.top}, g);
    pointing_hand_if_hovered(resp);
    return resp;
}

}  // namespace corvane
