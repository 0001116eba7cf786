#include "ui/views/route_log.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

#include <imgui.h>
#include <imgui_internal.h>

#include "engine/clock_text.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/scroll_area.h"
#include "ui/text_layout.h"
#include "ui/ui_memory.h"
#include "ui/views/route_log_card.h"
#include "ui/views/route_log_comparison.h"
#include "ui/views/route_log_scroll.h"
#include "ui/views/route_log_text.h"

namespace corvane {

namespace {

constexpr FontId kEntryFont{FontFamily::Proportional, 12.5f};
constexpr Color32 kEntryInk = rgb(224, 224, 224);

ImVec2 im(float x, float y) { return ImVec2(x, y); }

// Height of `text` word-wrapped at `wrap`, in whole points.
float wrapped_height(std::string_view text, float wrap) {
    ImFont* f = font(kEntryFont);
    if (f == nullptr) return 0.0f;
    if (text.empty()) return std::round(f->FontSize);
    note_text(text, f);
    const ImVec2 s = f->CalcTextSizeA(f->FontSize, FLT_MAX, std::max(wrap, 1.0f), text.data(), text.data() + text.size());
    return std::round(s.y);
}

void paint_wrapped(ImDrawList* dl, Vec2 at, std::string_view text, float wrap) {
    ImFont* f = font(kEntryFont);
    if (f == nullptr || text.empty()) return;
    dl->AddText(f, f->FontSize, im(at.x, at.y), to_imu32(kEntryInk), text.data(), text.data() + text.size(),
                std::max(wrap, 1.0f));
    const ImVec2 s = f->CalcTextSizeA(f->FontSize, FLT_MAX, std::max(wrap, 1.0f), text.data(), text.data() + text.size());
    log_text(dl, text, {at.x, at.y, at.x + s.x, at.y + s.y});
}

ImGuiID row_id(const RouteLogEntry& e, std::size_t index) {
    // Recordings can hold events with equal stamps; the index keeps ids apart.
    const ImGuiID base = ImGui::GetID("route_log_row");
    const std::int64_t key[2] = {e.time_ms, static_cast<std::int64_t>(index)};
    return ImHashData(key, sizeof key, base);
}

void draw_log_header(ImDrawList* dl, const TraceState& state, Rect b) {
    dl->AddRectFilled(im(b.left, b.top), im(b.right, b.bottom), to_imu32(palette::widget_bg), 12.0f);
    dl->AddRect(im(b.left, b.top), im(b.right, b.bottom), to_imu32(palette::separator), 12.0f, 0, 1.0f);
    paint_text(dl, {b.left + 18.0f, b.top + 16.0f}, anchor::left_top, "Route log", {FontFamily::Semibold, 13.0f},
               palette::text_primary);
    paint_text(dl, {b.right - 18.0f, b.top + 18.0f}, anchor::right_top, route_log_summary(state),
               {FontFamily::Proportional, 11.5f}, palette::text_secondary);
}

void draw_log_row(ImDrawList* dl, const RouteLogEntry& e, std::size_t index, float y, float g, Rect list, Rect block,
                  float wrap) {
    if (e.detail) {
        const Rect area{block.left + 10.0f, y - 5.0f, block.right - 10.0f, y + g + 21.0f};
        const Rect clipped{std::max(area.left, list.left), std::max(area.top, list.top),
                           std::min(area.right, list.right), std::min(area.bottom, list.bottom)};
        if (clipped.width() > 0.0f && clipped.height() > 0.0f) {
            const Response r = interact(clipped, row_id(e, index), Sense::Hover, ItemRole::Hint);
            if (r.hovered) {
                dl->AddRectFilled(im(clipped.left, clipped.top), im(clipped.right, clipped.bottom),
                                  to_imu32(palette::tooltip_bg), 6.0f);
                // Shown just below the pointer rather than below the row.
                Response at_pointer = r;
                const ImVec2 m = ImGui::GetIO().MousePos;
                at_pointer.rect = {m.x, m.y, m.x, m.y + 12.0f};
                hover_tooltip(at_pointer, route_change_tooltip(*e.detail));
            }
        }
    }
    dl->AddCircleFilled(im(list.left + 4.0f, y + 8.0f), 4.0f, to_imu32(e.color));
    paint_wrapped(dl, {list.left + 20.0f, y}, e.text, wrap);
    const Rect time = paint_text(dl, {list.left + 20.0f, y + g + 1.0f}, anchor::left_top,
                                 format_clock_time(e.time_ms, true), {FontFamily::Monospace, 11.0f},
                                 palette::text_faint);
    if (e.detail)
        paint_text(dl, {time.right + 12.0f, y + g + 1.0f}, anchor::left_top, "Hover for before and after",
                   {FontFamily::Proportional, 11.0f}, palette::accent);
}

void draw_log(ImDrawList* dl, const TraceState& state, std::uint64_t route_secs, Rect b) {
    draw_log_header(dl, state, b);
    const std::vector<RouteLogEntry> entries = route_log_entries(state, route_secs);
    if (entries.empty()) {
        paint_text(dl, {b.left + 18.0f, b.top + 50.0f}, anchor::left_top, "Waiting for the path", kEntryFont,
                   palette::text_faint);
        return;
    }

    const Rect list{b.left + 18.0f, b.top + 44.0f, b.right - 18.0f, b.bottom - 16.0f};
    const float view_h = std::max(list.bottom - list.top, 0.0f);
    const float wrap = list.width() - 20.0f;
    std::vector<float> heights;
    heights.reserve(entries.size());
    float content_h = 0.0f;
    for (const RouteLogEntry& e : entries) {
        heights.push_back(wrapped_height(e.text, wrap));
        content_h += heights.back() + kRouteLogRowExtra;
    }

    UiMemory& mem = ui_memory();
    const ImGuiID scroll_id = ImGui::GetID("route_log_scroll");
    const bool hovered = ImGui::IsMouseHoveringRect(im(b.left, b.top), im(b.right, b.bottom)) &&
                         ImGui::IsWindowHovered(ImGuiHoveredFlags_AllowWhenBlockedByActiveItem);
    const float wheel = ImGui::GetIO().MouseWheel * kScrollWheelStep;
    const float offset =
        route_log_scroll_offset(mem.get<float>(scroll_id, 0.0f), wheel, hovered, content_h, view_h);
    mem.set<float>(scroll_id, offset);

    dl->PushClipRect(im(list.left, list.top), im(list.right, list.bottom), true);
    float y = list.top + 6.0f - offset;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const float g = heights[i];
        if (route_log_row_visible(y, g + kRouteLogRowExtra, list.top, list.bottom))
            draw_log_row(dl, entries[i], i, y, g, list, b, wrap);
        y += g + kRouteLogRowExtra;
    }
    const RouteLogScrollBar bar = route_log_scroll_bar(list, content_h, offset);
    if (bar.visible) {
        dl->AddRectFilled(im(bar.track.left, bar.track.top), im(bar.track.right, bar.track.bottom),
                          to_imu32(palette::tooltip_bg), 2.0f);
        dl->AddRectFilled(im(bar.thumb.left, bar.thumb.top), im(bar.thumb.right, bar.thumb.bottom),
                          to_imu32(rgb(90, 90, 90)), 2.0f);
    }
    dl->PopClipRect();
}

}  // namespace

RouteLogBlocks route_log_blocks(Rect c) {
    RouteLogBlocks b;
    b.card = {c.left, c.top, c.right, c.top + 196.0f};
    b.tiles = {c.left, b.card.bottom + 12.0f, c.right, b.card.bottom + 12.0f + 124.0f};
    const float log_top = b.tiles.bottom + 12.0f;
    b.log = {c.left, log_top, c.right, log_top + std::max(c.bottom - log_top, 120.0f)};
    return b;
}

void draw_destination_card_and_route_log(const TraceState& state, std::uint64_t route_secs, Rect content) {
    const RouteLogBlocks b = route_log_blocks(content);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    draw_destination_card(dl, state, b.card);
    draw_route_tiles(dl, state, b.tiles);
    dl->PushClipRect(im(b.log.left, b.log.top), im(b.log.right, b.log.bottom), true);
    draw_log(dl, state, route_secs, b.log);
    dl->PopClipRect();
}

void draw_route_log(ViewContext& ctx) {
    draw_destination_card_and_route_log(*ctx.view.displayed, ctx.view.route_secs, ctx.panel.content);
}

}  // namespace corvane
