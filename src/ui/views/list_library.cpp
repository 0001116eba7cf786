#include "ui/views/list_library.h"

#include <imgui.h>

#include <algorithm>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/views/list_library_row.h"
#include "ui/views/list_library_text.h"
#include "ui/views/list_library_ui.h"

namespace corvane {

namespace {

constexpr float kWheelStep = 40.0f;  // points per wheel notch

// Scrolls by the wheel while hovered, and shows a thin floating thumb at the
// right edge while hovered and the page is taller than the view.
void scroll_by_wheel() {
    const float wheel = ImGui::GetIO().MouseWheel;
    if (wheel == 0.0f || !ImGui::IsWindowHovered()) return;
    const float y = std::clamp(ImGui::GetScrollY() - wheel * kWheelStep, 0.0f, ImGui::GetScrollMaxY());
    ImGui::SetScrollY(y);
}

void paint_floating_thumb(Rect view) {
    const float max = ImGui::GetScrollMaxY();
    if (max <= 0.0f || !ImGui::IsWindowHovered()) return;
    const float h = view.height();
    const float content = h + max;
    const float thumb = std::clamp(h * h / content, std::min(12.0f, h), h);
    const float top = view.top + (h - thumb) * std::clamp(ImGui::GetScrollY() / max, 0.0f, 1.0f);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRectFullScreen();
    dl->AddRectFilled(ImVec2(view.right - 2.0f, top), ImVec2(view.right, top + thumb),
                      to_imu32(color_with_alpha(palette::text_primary, 153)), 1.0f);
    dl->PopClipRect();
}

void draw_page_header() {
    list_ui::add_space(20);
    list_ui::label("Watch lists", {FontFamily::Semibold, 20}, palette::text_primary);
    list_ui::label(
        "Each list pings its hosts continuously and keeps history you can play back. Open several at once; each "
        "gets a tab.",
        {FontFamily::Proportional, 13}, palette::text_secondary);
    list_ui::add_space(14);
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
        scroll_by_wheel();
        draw_page_header();
        const std::vector<LibraryCard> cards = library_cards(ctx.app.saved_list_names);
        const std::size_t columns = library_columns(ImGui::GetContentRegionAvail().x);
        std::size_t index = 0;
        for (const std::span<const LibraryCard> row : library_rows(cards, columns)) {
            ImGui::PushID(static_cast<int>(index++));
            draw_list_library_row(row, kLibraryCardWidth, requests);
            ImGui::PopID();
            list_ui::add_space(14);
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
