#include "ui/views/route_log_card.h"

#include <array>
#include <cmath>
#include <numbers>

#include <imgui.h>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/route_log_text.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

constexpr Color32 kCardInk = rgb(30, 10, 0);
constexpr Color32 kTileFill = palette::widget_bg;  // 20
constexpr Color32 kTileStroke = palette::separator;  // 31
constexpr Color32 kTrack = rgb(38, 38, 38);

void tile_frame(ImDrawList* dl, Rect r) {
    dl->AddRectFilled(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(kTileFill), 12.0f);
    dl->AddRect(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(kTileStroke), 12.0f, 0, 1.0f);
}

void draw_delivered_tile(ImDrawList* dl, const TraceState& state, Rect r) {
    const DeliveredTileTexts t = delivered_tile_texts(state);
    const float cy = r.center().y;
    const ImVec2 centre(r.left + 48.0f, cy);
    dl->AddCircle(centre, 26.0f, to_imu32(kTrack), 0, 6.0f);
    if (t.delivered > 0.0f) {
        std::array<ImVec2, 65> arc;
        for (int i = 0; i < 65; ++i) {
            const double deg = -90.0 + i * (static_cast<double>(t.delivered) * 360.0) / 64.0;
            const double rad = deg * std::numbers::pi / 180.0;
            arc[static_cast<std::size_t>(i)] =
                ImVec2(centre.x + 26.0f * static_cast<float>(std::cos(rad)), cy + 26.0f * static_cast<float>(std::sin(rad)));
        }
        dl->AddPolyline(arc.data(), static_cast<int>(arc.size()), to_imu32(palette::accent), 0, 6.0f);
    }
    const float x = r.left + 92.0f;
    // Large counts are cut at the tile's outline rather than run over it.
    const TextCuttingBox cut(dl, {r.left, r.top, r.right - 1.0f, r.bottom});
    paint_text(dl, {x, cy - 22.0f}, anchor::left_center, "Delivered", {FontFamily::Proportional, 11.5f},
               palette::text_secondary);
    paint_text(dl, {x, cy}, anchor::left_center, t.percent, {FontFamily::MonoMedium, 20.0f}, palette::text_primary);
    paint_text(dl, {x, cy + 22.0f}, anchor::left_center, t.sub, {FontFamily::Proportional, 11.0f}, palette::text_faint);
}

void draw_jitter_tile(ImDrawList* dl, const TraceState& state, Rect r) {
    const JitterTileTexts t = jitter_tile_texts(state);
    const float x0 = r.left + 16.0f;
    const float w = r.width();
    paint_text(dl, {x0, r.top + 26.0f}, anchor::left_center, "Jitter", {FontFamily::Proportional, 11.5f},
               palette::text_secondary);
    const Rect value = paint_text(dl, {x0, r.top + 54.0f}, anchor::left_center, t.value,
                                  {FontFamily::MonoMedium, 26.0f}, palette::text_primary);
    if (t.fraction > 0.0f)
        paint_text(dl, {value.right + 4.0f, value.bottom - 6.0f}, anchor::left_bottom, "ms",
                   {FontFamily::Proportional, 12.0f}, palette::text_secondary);
    const float track = std::max(w - 32.0f, 0.0f);
    dl->AddRectFilled(ImVec2(x0, r.top + 80.0f), ImVec2(x0 + track, r.top + 84.0f), to_imu32(kTrack), 2.0f);
    if (t.fraction > 0.0f)
        dl->AddRectFilled(ImVec2(x0, r.top + 80.0f), ImVec2(x0 + track * t.fraction, r.top + 84.0f),
                          to_imu32(palette::value_text), 2.0f);
    paint_text(dl, {x0, r.top + 100.0f}, anchor::left_center, t.verdict, {FontFamily::Proportional, 11.0f},
               palette::text_faint);
}

// The card's pulse line, kept out of `clear` (the detail line's box): drawn
// to its left, to its right and above it, never through the text.
void paint_pulse(ImDrawList* dl, Rect card, Rect clear) {
    static constexpr std::array<Vec2, 11> kPulse{{{0, 60}, {52, 60}, {62, 20}, {74, 80}, {84, 44}, {94, 60},
                                                  {150, 60}, {160, 34}, {170, 70}, {178, 60}, {220, 60}}};
    std::array<ImVec2, 11> pts;
    for (std::size_t i = 0; i < kPulse.size(); ++i)
        pts[i] = ImVec2(card.right - 230.0f + kPulse[i].x, card.bottom - 96.0f + kPulse[i].y);
    const ImU32 ink = to_imu32(color_with_alpha(255, 255, 255, 56));
    const Rect around[3] = {{card.left, card.top, clear.left, card.bottom},
                            {clear.left, card.top, clear.right, clear.top},
                            {clear.right, card.top, card.right, card.bottom}};
    for (const Rect& r : around) {
        if (r.width() <= 0.0f || r.height() <= 0.0f) continue;
        dl->PushClipRect(to_im({r.left, r.top}), to_im({r.right, r.bottom}), true);
        dl->AddPolyline(pts.data(), static_cast<int>(pts.size()), ink, 0, 3.0f);
        dl->PopClipRect();
    }
}

}  // namespace

void draw_destination_card(ImDrawList* dl, const TraceState& state, Rect b) {
    // The card cuts what reaches past it: a long detail line ends at its edge.
    const TextCuttingBox cut(dl, b);
    fill_rounded_rect(dl, b, 14.0f, palette::accent, palette::accent_dark);

    const DestinationCardTexts t = destination_card_texts(state);
    constexpr FontId kDetailFont{FontFamily::Medium, 12.5f};
    const Galley detail = layout_text(t.detail, kDetailFont, kCardInk);
    const Rect detail_rect = anchor_rect({b.left + 22.0f, b.bottom - 20.0f}, anchor::left_bottom, detail.size);
    paint_pulse(dl, b, detail.text.empty() ? Rect{} : detail_rect);

    paint_text(dl, {b.left + 22.0f, b.top + 20.0f}, anchor::left_top, "Destination latency",
               {FontFamily::Medium, 12.5f}, kCardInk);
    const Rect value = paint_text(dl, {b.left + 20.0f, b.top + 44.0f}, anchor::left_top, t.value,
                                  {FontFamily::MonoMedium, 64.0f}, palette::text_white);
    if (t.show_ms)
        paint_text(dl, {value.right + 6.0f, value.bottom - 14.0f}, anchor::left_bottom, "ms",
                   {FontFamily::Medium, 20.0f}, palette::text_white);
    paint_galley(dl, {detail_rect.left, detail_rect.top}, detail);
}

void draw_route_tiles(ImDrawList* dl, const TraceState& state, Rect b) {
    dl->PushClipRect(to_im({b.left, b.top}), to_im({b.right, b.bottom}), true);
    const float w = (b.width() - 12.0f) / 2.0f;
    const Rect left{b.left, b.top, b.left + w, b.bottom};
    const Rect right{b.left + w + 12.0f, b.top, b.left + 2.0f * w + 12.0f, b.bottom};
    tile_frame(dl, left);
    tile_frame(dl, right);
    draw_delivered_tile(dl, state, left);
    draw_jitter_tile(dl, state, right);
    dl->PopClipRect();
}

}  // namespace corvane
