#include "ui/views/hop_table_rows.h"

#include <imgui.h>
#include <imgui_internal.h>

namespace corvane {

HopTableInputs hop_table_inputs(ViewContext& ctx) {
    return {*ctx.view.displayed, ctx.view.verdicts, ctx.view.selected_hop, ctx.view.now_ms,
            ctx.app.trace_tabs,  ctx.app.active_trace};
}

void select_charted_hop(HopTableInputs& in, std::size_t i) {
    if (in.active_tab < in.tabs.size()) in.tabs[in.active_tab].selected_hop = i;
}

Response place_hop_row(HopTableInputs& in, std::size_t i, float width, float height) {
    const ImVec2 p = ImGui::GetCursorScreenPos();
    const Rect row{p.x, p.y, p.x + width, p.y + height};
    ImGui::ItemSize(ImVec2(width, height));
    ImGuiWindow* w = ImGui::GetCurrentWindow();
    const Response r = interact(row, w->GetID(static_cast<int>(i)), Sense::Click);
    pointing_hand_if_hovered(r);
    if (r.clicked) select_charted_hop(in, i);
    return r;
}

}  // namespace corvane
