#include "ui/views/list_library.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/interaction.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/scroll_area.h"
#include "ui/views/list_library_row.h"
#include "ui/views/list_library_text.h"

namespace corvane {

namespace {

// Scrolls by the wheel while hovered, and shows a thin floating thumb at the
// right edge while hovered and the page is taller than the view.
void scroll_by_wheel() {
    const float wheel = ImGui::GetIO().MouseWheel;
    if (wheel == 0.0f || !ImGui::IsWindowHovered()) return;
    ImGui::SetScrollY(scroll_after_wheel(ImGui::GetScrollY(), wheel, ImGui::GetScrollMaxY()));
}

void paint_floating_thumb(Rect view) {
    const float max = ImGui::GetScrollMaxY();
    if (max <= 0.0f || !ImGui::IsWindowHovered()) return;
    const Rect track{view.right - 2.0f, view.top, view.right, view.bottom};
    const Rect thumb = scroll_thumb_rect(track, view.height() + max, ImGui::GetScrollY(), 12.0f);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRectFullScreen();
    dl->AddRectFilled(ImVec2(thumb.left, thumb.top), ImVec2(thumb.right, thumb.bottom),
                      to_imu32(color_with_alpha(palette::text_primary, 153)), 1.0f);
    dl->PopClipRect();
}

void draw_page_header() {
    add_vertical_space(20);
    draw_text_item("Watch lists", {FontFamily::Semibold, 20}, palette::text_primary, kWrapAtContentEdge);
    draw_text_item(
        "Each list pings its hosts continuously and keeps history you can play back. Open several at once; each "
        "gets a tab.",
        {FontFamily::Proportional, 13}, palette::text_secondary, kWrapAtContentEdge);
    add_vertical_space(14);
}

}  // namespace

void draw_list_library(ViewContext& ctx) {
    const Rect c = ctx.panel.content;
    if (c.width() <= 0.0f || c.height() <= 0.0f) return;
    ImGui::SetCursorScreenPos(to_im({c.left, c.top}));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    const bool open = ImGui::BeginChild("list_library_scroll", ImVec2(c.width(), c.height()), false,
                                        ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                                            ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings);
    ImGui::PopStyleVar();
    LibraryRequests requests;
    if (open) {
        feather_one_pixel();
        scroll_by_wheel();
        draw_page_header();
        const std::vector<std::string>& names = ctx.app.saved_list_names;
        const std::size_t columns = library_columns(ImGui::GetContentRegionAvail().x);
        const std::size_t rows = library_row_count(names.size(), columns);
        for (std::size_t row = 0; row < rows; ++row) {
            // Rows scrolled out of view only take their place: a folder of
            // thousands of lists costs what the few rows on screen cost.
            const std::size_t in_row = std::min(columns, names.size() + 1 - row * columns);
            const float width = static_cast<float>(in_row) * (kLibraryCardWidth + kLibraryCardGap) - kLibraryCardGap;
            if (ImGui::IsRectVisible(ImVec2(width, kLibraryCardHeight))) {
                ImGui::PushID(static_cast<int>(row));
                draw_list_library_row(library_row_cards(names, row, columns), kLibraryCardWidth, requests);
                ImGui::PopID();
            } else {
                ImGui::ItemSize(ImVec2(width, kLibraryCardHeight));
            }
            add_vertical_space(14);
        }
        paint_floating_thumb(c);
    }
    ImGui::EndChild();

    // Applied by the frame right after this panel: watch first, then edit.
    if (requests.new_list) ctx.actions.new_list = true;
    if (requests.watch) ctx.actions.open_list = *requests.watch;
    if (requests.edit) ctx.actions.edit_list = *requests.edit;
}

}  // namespace corvane
