#include "ui/views/watch_view.h"

#include <imgui.h>

#include <algorithm>
#include <array>

#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/widget_layout.h"
#include "ui/widgets.h"
#include "ui/views/watch_view_cells.h"
#include "ui/views/watch_view_layout.h"
#include "ui/views/watch_view_table.h"
#include "ui/views/watch_view_texts.h"

namespace corvane {

namespace {

constexpr float kNameBlockHeight = 60.0f;
constexpr float kEditGap = 12.0f;  // between the title and "Edit"

// Returns whether it was clicked.
bool draw_edit_button(ImDrawList* dl, Rect r) {
    const Response resp = interact(r, ImGui::GetID("edit_active_list"), Sense::Click);
    paint_framed_rect(dl, r, resp.hovered ? palette::tooltip_bg : palette::widget_bg, palette::border, 6.0f);
    paint_text(dl, r.center(), anchor::center_center, "Edit", {FontFamily::Medium, 11.5f},
               resp.hovered ? palette::accent_bright : palette::text_primary);
    pointing_hand_if_hovered(resp);
    hover_tooltip_text(resp, watch_text::kEditTip);
    return resp.clicked;
}

void draw_name_block(ViewContext& ctx, Rect block, const std::string& name) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const TraceState& state = *ctx.view.displayed;
    constexpr FontId kTitleFont{FontFamily::Semibold, 24.0f};
    const Galley title = layout_text(name, kTitleFont, palette::text_primary);
    const Rect title_rect = anchor_rect({block.left, block.top + 18.0f}, anchor::left_center, title.size);
    // A recording cannot be edited.
    const bool editable = !ctx.view.playback_active;
    const Rect edit = watch_edit_button(block, title_rect.right);

    // Long names are cut at the block's edge, or short of "Edit" where the
    // button stands over them.
    const float title_right = editable ? std::min(block.right, edit.left - kEditGap) : block.right;
    {
        const TextCuttingBox cut(dl, {block.left, block.top, title_right, block.bottom});
        paint_galley(dl, {title_rect.left, title_rect.top}, title);
    }
    {
        const TextCuttingBox cut(dl, block);
        paint_text(dl, {block.left, block.bottom - 10.0f}, anchor::left_center,
                   watch_header_sub_line(state.hops.size(), state.started_ms), {FontFamily::Proportional, 12.5f},
                   palette::text_secondary);
    }

    if (editable && draw_edit_button(dl, edit)) ctx.actions.edit_list = name;
}

}  // namespace

void draw_watch_header(ViewContext& ctx) {
    const Rect content = ctx.panel.content;
    const float cy = content.center().y;
    // On whole pixels, as the "Edit" button and the cards after it then are.
    const float block_w = on_whole_pixel(watch_name_block_width(content.width()));
    const Rect block{content.left, cy - kNameBlockHeight / 2, content.left + block_w, cy + kNameBlockHeight / 2};
    draw_name_block(ctx, block, watch_list_name(ctx.app, ctx.view.playback_active));

    const WatchCounts counts = count_watch_statuses(ctx.view.statuses, ctx.view.displayed->events);
    struct Card {
        const char* title;
        std::size_t count;
        Color32 color;
        std::string sub;
    };
    const std::array<Card, 4> cards{{
        {"Up", counts.up, palette::ok_green, "answering normally"},
        {"Degraded", counts.degraded, palette::warn_amber, "loss or slow, last minute"},
        {"Down", counts.down, palette::bad_red, "3 or more pings lost"},
        {"Outages", counts.outages, palette::accent, watch_outages_sub_text(counts.newest_outage_ms)},
    }};
    // The row has no spacing between its items; the cards stand centred on
    // the same line as the name block.
    float x = block.right;
    for (const Card& c : cards) {
        ImGui::SetCursorScreenPos(ImVec2(x, cy - kStatCardHeight / 2));
        const Response r = draw_stat_card(c.title, std::to_string(c.count), {FontFamily::MonoMedium, 30.0f},
                                          watch_count_color(c.count, c.color), "", c.sub, std::nullopt);
        x = r.rect.right;
    }
}

void draw_watch_table(ViewContext& ctx) { draw_watch_table_header(ctx); }

}  // namespace corvane
