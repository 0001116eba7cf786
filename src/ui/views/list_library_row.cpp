#include "ui/views/list_library_row.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <vector>

#include "main/list_summary.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

ImGuiID pair_id(const char* kind, const std::string& name) {
    ImGui::PushID(kind);
    const ImGuiID id = ImGui::GetID(name.data(), name.data() + name.size());
    ImGui::PopID();
    return id;
}

void paint_card_background(ImDrawList* dl, Rect r, bool hovered) {
    const Color32 fill = hovered ? rgb(24, 24, 24) : rgb(20, 20, 20);
    const Color32 line = hovered ? palette::accent_shadow : palette::separator;
    dl->AddRectFilled(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(fill), 10.0f);
    // ImDrawList strokes run half a point inside the rectangle: one crisp line on the edge pixels.
    dl->AddRect(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(line), 10.0f, 0, 1.0f);
}

void draw_new_list_card(ImDrawList* dl, Rect card, LibraryRequests& requests) {
    const Response r = interact(card, ImGui::GetID("lib_new"), Sense::Click, ItemRole::Area);
    paint_card_background(dl, card, r.hovered);
    const Color32 text = r.hovered ? palette::accent_bright : palette::text_secondary;
    const Vec2 c = card.center();
    dl->AddLine(ImVec2(c.x - 9, c.y - 12), ImVec2(c.x + 9, c.y - 12), to_imu32(text), 2.0f);
    dl->AddLine(ImVec2(c.x, c.y - 21), ImVec2(c.x, c.y - 3), to_imu32(text), 2.0f);
    paint_text(dl, {c.x, c.y + 20}, anchor::center_center, "New list", {FontFamily::Medium, 13.5f}, text);
    if (r.clicked) requests.new_list = true;
}

void draw_saved_list_card(ImDrawList* dl, const LibraryCardGeometry& g, const std::string& name,
                          LibraryRequests& requests) {
    const ListSummary list = saved_list_summary(name);

    // The buttons claim the pointer before the card under them.
    const Response watch = interact(g.watch, pair_id("lib_watch", name), Sense::Click);
    const Response edit = interact(g.edit, pair_id("lib_edit", name), Sense::Click);
    const Response card = interact(g.card, pair_id("lib_card", name), Sense::Click, ItemRole::Area);
    // Only the two buttons take the pointing hand; the card itself keeps the arrow.
    pointing_hand_if_hovered(watch);
    pointing_hand_if_hovered(edit);

    // The buttons take the pointer from the card, but it is still over the card.
    paint_card_background(dl, g.card, card.hovered || watch.hovered || edit.hovered);
    const float x = g.card.left + 18.0f, y = g.card.top;
    paint_text(dl, {x, y + 18}, anchor::left_top, name, {FontFamily::Semibold, 15}, palette::text_primary);
    paint_text(dl, {x, y + 42}, anchor::left_top, list_count_text(list), {FontFamily::Proportional, 12},
               palette::text_secondary);
    const Galley preview = elide_text_row(list_preview_text(list), {FontFamily::Monospace, 11},
                                          std::max(g.card.width() - 36.0f, 10.0f));
    paint_galley(dl, {x, y + 64}, preview, palette::text_faint);

    paint_primary_fill(dl, g.watch, 6.0f, watch.hovered);
    paint_text(dl, g.watch.center(), anchor::center_center, "Watch", {FontFamily::Semibold, 12.5f},
               palette::text_white);

    const Color32 edit_fill = edit.hovered ? rgb(30, 30, 30) : rgb(24, 24, 24);
    dl->AddRectFilled(to_im({g.edit.left, g.edit.top}), to_im({g.edit.right, g.edit.bottom}), to_imu32(edit_fill),
                      6.0f);
    dl->AddRect(to_im({g.edit.left, g.edit.top}), to_im({g.edit.right, g.edit.bottom}), to_imu32(palette::border), 6.0f,
                0, 1.0f);
    paint_text(dl, g.edit.center(), anchor::center_center, "Edit", {FontFamily::Medium, 12.5f}, palette::text_primary);

    if (watch.clicked)
        requests.watch = name;
    else if (edit.clicked)
        requests.edit = name;
    else if (card.clicked)
        requests.watch = name;  // the card itself means "Watch"
}

}  // namespace

LibraryCardGeometry library_card_geometry(Vec2 top_left, float card_width) {
    const float x = top_left.x, y = top_left.y;
    const float bottom = y + kLibraryCardHeight;
    return {{x, y, x + card_width, bottom},
            {x + 18, bottom - 42, x + 98, bottom - 14},
            {x + 106, bottom - 42, x + 170, bottom - 14}};
}

void draw_list_library_row(std::span<const LibraryCard> cards, float card_width, LibraryRequests& requests) {
    if (cards.empty()) return;
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    ImDrawList* dl = ImGui::GetWindowDrawList();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const float left = origin.x + static_cast<float>(i) * (card_width + kLibraryCardGap);
        const LibraryCardGeometry g = library_card_geometry({left, origin.y}, card_width);
        const Rect clip = g.card.expand(1.0f);
        dl->PushClipRect(to_im({clip.left, clip.top}), to_im({clip.right, clip.bottom}), true);
        if (cards[i].new_list)
            draw_new_list_card(dl, g.card, requests);
        else
            draw_saved_list_card(dl, g, cards[i].name, requests);
        dl->PopClipRect();
    }
    const float width = static_cast<float>(cards.size()) * (card_width + kLibraryCardGap) - kLibraryCardGap;
    ImGui::SetCursorScreenPos(origin);
    ImGui::ItemSize(ImVec2(width, kLibraryCardHeight));
}

}  // namespace corvane
