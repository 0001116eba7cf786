#include "ui/views/hop_table_rows.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "ui/layout_steps.h"
#include "ui/widgets.h"
#include "ui/views/hop_table_layout.h"
#include "ui/views/hop_table_paint.h"
#include "ui/views/hop_table_texts.h"

namespace corvane {

HopTableInputs hop_table_inputs(ViewContext& ctx) {
    return {*ctx.view.displayed, ctx.view.verdicts, ctx.view.selected_hop, ctx.view.now_ms,
            ctx.app.trace_tabs,  ctx.app.active_trace};
}

void select_charted_hop(HopTableInputs& in, std::size_t i) {
    if (in.active_tab < in.tabs.size()) in.tabs[in.active_tab].selected_hop = i;
}

Response place_hop_row(HopTableInputs& in, std::size_t i, float width, float height) {
    const Rect row = allocate_item({width, height});
    ImGuiWindow* w = ImGui::GetCurrentWindow();
    const Response r = interact(row, w->GetID(static_cast<int>(i)), Sense::Click, ItemRole::Area);
    pointing_hand_if_hovered(r);
    if (r.clicked) select_charted_hop(in, i);
    return r;
}

void draw_hop_rows(HopTableInputs& in, float width, float height,
                   const std::function<void(const HopRow&)>& paint_cells) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const std::size_t count = in.hop_count();
    if (count == 0) {
        paint_empty_table_status(dl, from_im(ImGui::GetCursorScreenPos()), in.snapshot.status);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Response r = place_hop_row(in, i, width, height);
        const Rect row = r.rect;
        if (!ImGui::IsRectVisible(to_im({row.left, row.top}), to_im({row.right, row.bottom}))) continue;
        const bool charted = i == in.charted;
        paint_row_background(dl, row, charted, r.hovered);
        paint_cells({dl, row, i, in.snapshot.hops[i], hop_class_at(in.verdicts, i), charted});
    }
}

// Both tables open with the same four columns in the same order.
constexpr bool same_column(WideColumn w, CompactColumn c) { return static_cast<std::size_t>(w) == c; }
static_assert(same_column(kWideHop, kCompactHop) && same_column(kWideRouter, kCompactRouter) &&
              same_column(kWideAdded, kCompactAdded) && same_column(kWideLoss, kCompactLoss));

void paint_leading_hop_cells(const HopTableInputs& in, const HopRow& r, std::span<const float> lefts,
                             std::span<const float> widths, float node_radius, bool compact) {
    const Rect& row = r.rect;
    auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
    const float cy = row.center().y;
    draw_hop_node(r.dl, lefts[kWideHop] + widths[kWideHop] / 2, cy, row.top, row.bottom, r.index, in.hop_count(),
                  r.hop.received, node_radius);
    draw_hop_router_cell(r.dl, {lefts[kWideRouter], row.top, right_of(kWideRouter) - 10, row.bottom}, r.hop, r.cls,
                         compact);
    paint_value_cell(r.dl, right_of(kWideAdded), cy, added_latency_cell(in.verdicts, r.index));
    paint_value_cell(r.dl, right_of(kWideLoss), cy, loss_cell(r.hop, r.cls));
}

void draw_leading_hop_header_cells(ImDrawList* dl, std::span<const float> lefts, std::span<const float> widths,
                                   float cy) {
    namespace t = hop_table_text;
    auto right_of = [&](std::size_t c) { return lefts[c] + widths[c]; };
    draw_table_header_cell(dl, {lefts[kWideHop] + widths[kWideHop] / 2, cy}, anchor::center_center, "Hop", t::kHopTip);
    draw_table_header_cell(dl, {lefts[kWideRouter], cy}, anchor::left_center, "Router", t::kRouterTip);
    draw_table_header_cell(dl, {right_of(kWideAdded) - 6, cy}, anchor::right_center, "Added latency", t::kAddedTip);
    draw_table_header_cell(dl, {right_of(kWideLoss) - 6, cy}, anchor::right_center, "Loss", t::kLossTip);
}

}  // namespace corvane
