#include "shell/placeholder_frame.h"

#include <cstdlib>
#include <string_view>

#include <imgui.h>

#include "ui/palette.h"
#include "ui/panel_host.h"
#include "ui/widgets.h"

namespace corvane {

void PlaceholderFrame::frame(Shell& shell, const KeyboardFrame&) {
    host_panels(inputs_, heights_, [&](const PlacedPanel& p) {
        if (!probes_) return;
        const bool central = p.spec.kind == PanelKind::Central;
        if (!central) return;
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const Rect c = p.content;
        paint_row_background(dl, {c.left, c.top + 40, c.right, c.top + 76}, false, true);
        paint_row_background(dl, {c.left, c.top + 76, c.right, c.top + 112}, true, false);
        // A sample of the shared widgets, to check text and shapes by eye.
        ImGui::SetCursorScreenPos(ImVec2(c.left, c.top + 130));
        draw_stat_card("Latency", "23", {FontFamily::MonoMedium, 30}, palette::accent, "ms", "last 24 \u00b7 best 21",
                       std::nullopt);
        ImGui::SameLine();
        draw_stat_card("Packet loss", "0.0", {FontFamily::MonoMedium, 30}, palette::text_primary, "%",
                       "0 of 1200 lost, and a sub text long enough to be cut", StatNote{"+3 ms", palette::warn_amber});
        ImGui::SetCursorScreenPos(ImVec2(c.left, c.top + 220));
        ViewMode mode = ViewMode::Trace;
        draw_segmented_switch(mode, {ViewMode::Trace, "Trace"}, {ViewMode::Watch, "Watch"});
        ImGui::SameLine();
        draw_dialog_button("Cancel");
        ImGui::SameLine();
        draw_toolbar_divider();
        draw_table_header_cell(dl, {c.left + 400, c.top + 230}, anchor::left_top, "AVG", "Average round trip");
        fill_rounded_rect(dl, {c.left + 480, c.top + 220, c.left + 580, c.top + 252}, 6, palette::accent,
                          palette::accent_dark);
        draw_tooltip_box(dl, c.left + 600, c.top + 220, c.right, "12:05:09", "23 ms", palette::accent);
    });
    shell.request_repaint_after(0.25);
}

PanelInputs placeholder_inputs_from_env() {
    PanelInputs in;
    const char* v = std::getenv("CORVANE_TEST_VIEW");
    const std::string_view view = v ? v : "";
    if (view == "signal") in.layout = LayoutMode::Signal;
    if (view == "watch" || view == "library") in.view = ViewMode::Watch;
    in.watch_has_content = view == "watch";
    return in;
}

}  // namespace corvane
