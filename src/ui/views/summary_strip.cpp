#include "ui/views/summary_strip.h"

#include <algorithm>

#include <imgui.h>
#include <imgui_internal.h>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/widget_layout.h"
#include "ui/views/summary_strip_text.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

void draw_target_block(const SummaryTexts& t, const Rect& block) {
    ImGui::SetCursorScreenPos(to_im({block.left, block.top}));
    ImGui::ItemSize(ImVec2(block.width(), block.height()));
    interact(block, ImGui::GetID("summary_target"), Sense::Hover);

    // Long addresses and names are cut at the block's edge, not elided.
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const TextCuttingBox cut(dl, block);
    paint_text(dl, {block.left, block.top + 18.0f}, anchor::left_center, t.target, {FontFamily::MonoMedium, 28.0f},
               palette::text_primary);
    paint_text(dl, {block.left, block.bottom - 10.0f}, anchor::left_center, t.path,
               {FontFamily::Proportional, 12.5f}, palette::text_secondary);
}

}  // namespace

float summary_target_block_width(float available) { return std::clamp(0.2f * available, 220.0f, 330.0f); }

SummaryRowLayout summary_row_layout(Rect row) {
    // The row's items stand centred on its middle line, as in the watch
    // header, rather than hanging from the panel's top edge.
    const float cy = row.center().y;
    constexpr float kBlockHeight = 60.0f;
    return {{row.left, cy - kBlockHeight / 2, row.left + summary_target_block_width(row.width()), cy + kBlockHeight / 2},
            cy - kStatCardHeight / 2};
}

void draw_summary_cards(const TraceState& state, const HopVerdicts& verdicts, std::uint64_t route_secs, Rect row) {
    const SummaryTexts t = build_summary_texts(state, verdicts, route_secs);

    // A child of the row's exact size, so the cards' available width ends at
    // the panel's right margin rather than at the window's edge.
    ImGui::SetCursorScreenPos(to_im({row.left, row.top}));
    const ImVec2 size(std::max(row.width(), 1.0f), std::max(row.height(), 1.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, ImGui::GetStyle().ItemSpacing.y));
    ImGui::BeginChild("summary_row", size, false,
                      ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse);
    feather_one_pixel();
    const SummaryRowLayout layout = summary_row_layout(row);
    draw_target_block(t, layout.target_block);
    float x = layout.target_block.right;
    for (const SummaryCard& c : t.cards) {
        ImGui::SetCursorScreenPos(ImVec2(x, layout.card_top));
        x = draw_stat_card(c.title, c.value, c.value_font, c.value_color, c.unit, c.sub, c.note).rect.right;
    }
    ImGui::EndChild();
    ImGui::PopStyleVar(2);
}

void draw_summary_strip(ViewContext& ctx) {
    draw_summary_cards(*ctx.view.displayed, ctx.view.verdicts, ctx.view.route_secs, ctx.panel.content);
}

}  // namespace corvane
