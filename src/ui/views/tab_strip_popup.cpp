#include "ui/views/tab_strip_popup.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "main/list_summary.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/ui_memory.h"
#include "ui/widgets.h"
#include "ui/views/tab_strip_model.h"

namespace corvane {

namespace {

constexpr FontId kButtonFont{FontFamily::Medium, 12.5f};
constexpr float kSelectableMinHeight = 32.0f;
constexpr float kRowGap = 8.0f;
constexpr float kSeparatorHeight = 6.0f;
constexpr float kSelectablePadX = 10.0f;
constexpr float kSelectablePadY = 6.0f;

ImVec2 im(float x, float y) { return ImVec2(x, y); }

ImGuiID popup_id() { return ImGui::GetID("open_list_popup"); }

OpenListMenuRow text_row(OpenListMenuRow::Kind kind, std::string text, FontId font, Color32 color) {
    OpenListMenuRow row;
    row.kind = kind;
    const Galley g = layout_text(text, font, color);
    row.text = std::move(text);
    row.font = font;
    row.color = color;
    row.text_width = g.size.x;
    row.height = g.size.y;
    if (kind == OpenListMenuRow::Kind::Entry || kind == OpenListMenuRow::Kind::NewList)
        row.height = std::max(g.size.y + 2.0f * kSelectablePadY, kSelectableMinHeight);
    return row;
}

bool selectable(OpenListMenuRow::Kind k) {
    return k == OpenListMenuRow::Kind::Entry || k == OpenListMenuRow::Kind::NewList;
}

}  // namespace

std::vector<OpenListMenuRow> open_list_menu_rows(const App& app) {
    using Kind = OpenListMenuRow::Kind;
    std::vector<OpenListMenuRow> rows;
    rows.push_back(text_row(Kind::Heading, "SAVED LISTS", {FontFamily::Semibold, 10.5f}, palette::text_faint));
    const std::vector<std::string> candidates = open_list_candidates(app.saved_list_names, app.watch_tabs);
    if (const auto note = open_list_menu_note(app.saved_list_names.size(), candidates.size())) {
        rows.push_back(text_row(Kind::Note, std::string(*note), {FontFamily::Proportional, 12.5f},
                                palette::text_secondary));
    }
    for (const std::string& name : candidates) {
        OpenListMenuRow row = text_row(Kind::Entry, open_list_entry_text(name, saved_list_summary(name)),
                                       {FontFamily::Proportional, 13.0f}, palette::text_primary);
        row.list_name = name;
        rows.push_back(std::move(row));
    }
    OpenListMenuRow sep;
    sep.kind = Kind::Separator;
    sep.height = kSeparatorHeight;
    rows.push_back(sep);
    rows.push_back(text_row(Kind::NewList, "New list\u2026", {FontFamily::Medium, 13.0f}, palette::accent_bright));
    return rows;
}

Vec2 open_list_menu_size(const std::vector<OpenListMenuRow>& rows, float min_width) {
    float w = min_width, h = 0.0f;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OpenListMenuRow& r = rows[i];
        w = std::max(w, r.text_width + (selectable(r.kind) ? 2.0f * kSelectablePadX : 0.0f));
        h += r.height + (i > 0 ? kRowGap : 0.0f);
    }
    return {w, h};
}

void draw_open_list_menu(const std::vector<OpenListMenuRow>& rows, Vec2 left_top, float width,
                         PanelActions& actions) {
    using Kind = OpenListMenuRow::Kind;
    ImDrawList* dl = ImGui::GetWindowDrawList();
    float y = left_top.y;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OpenListMenuRow& r = rows[i];
        const Rect rect{left_top.x, y, left_top.x + width, y + r.height};
        const Galley g = layout_text(r.text, r.font, r.color);
        switch (r.kind) {
        case Kind::Heading:
        case Kind::Note: paint_galley(dl, {rect.left, rect.top}, g); break;
        case Kind::Separator:
            dl->AddRectFilled(im(rect.left, rect.center().y - 0.5f), im(rect.right, rect.center().y + 0.5f),
                              to_imu32(palette::separator));
            break;
        case Kind::Entry:
        case Kind::NewList: {
            ImGui::PushID("open_list_row");
            const Response resp = interact(rect, ImGui::GetCurrentWindow()->GetID(static_cast<int>(i)), Sense::Click);
            ImGui::PopID();
            Color32 text = r.color;
            if (resp.hovered) {
                dl->AddRectFilled(im(rect.left, rect.top), im(rect.right, rect.bottom),
                                  to_imu32(palette::hover_fill), 6.0f);
                dl->AddRect(im(rect.left, rect.top), im(rect.right, rect.bottom), to_imu32(rgb(64, 64, 64)), 6.0f, 0,
                            1.0f);
                // A list entry brightens like any hovered widget; "New list…" keeps its orange.
                if (r.kind == Kind::Entry) text = palette::text_white;
            }
            const Rect t = anchor_rect({rect.left + kSelectablePadX, rect.center().y}, anchor::left_center, g.size);
            paint_galley(dl, {t.left, t.top}, g, text);
            pointing_hand_if_hovered(resp);
            if (resp.clicked) {
                if (r.kind == Kind::Entry)
                    actions.open_list = r.list_name;
                else
                    actions.new_list = true;
            }
            break;
        }
        }
        y = rect.bottom + kRowGap;
    }
}

bool open_list_popup_is_open() { return ui_memory().get<bool>(popup_id(), false); }

namespace {

void show_open_list_popup(Rect button, const App& app, PanelActions& actions) {
    const std::vector<OpenListMenuRow> rows = open_list_menu_rows(app);
    const Vec2 content = open_list_menu_size(rows, open_list_menu_min_width(button.width()));
    const Vec2 outer{content.x + 2.0f * kPopupMargin, content.y + 2.0f * kPopupMargin};
    const float left = open_list_popup_left(button.left, outer.x, ImGui::GetIO().DisplaySize.x);
    ImGui::SetNextWindowPos(im(left, button.bottom));
    ImGui::SetNextWindowSize(im(outer.x, outer.y));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, im(kPopupMargin, kPopupMargin));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, theme::menu_rounding);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, theme::window_stroke.width);
    ImGui::PushStyleColor(ImGuiCol_WindowBg, to_imu32(theme::window_fill));
    ImGui::PushStyleColor(ImGuiCol_Border, to_imu32(theme::window_stroke.color));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                   ImGuiWindowFlags_NoNav;
    if (ImGui::Begin("##open_list_popup", nullptr, flags)) {
        feather_one_pixel();
        ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
        const ImVec2 p = ImGui::GetWindowPos();
        draw_open_list_menu(rows, {p.x + kPopupMargin, p.y + kPopupMargin}, content.x, actions);
    }
    ImGui::End();
    ImGui::PopStyleColor(2);
    ImGui::PopStyleVar(3);
}

}  // namespace

Rect draw_open_list_button(Vec2 left_top, const App& app, PanelActions& actions) {
    const Galley g = layout_text("+  Open list", kButtonFont, palette::text_primary);
    const Vec2 size{g.size.x + 2.0f * theme::button_padding_x,
                    std::max(30.0f, g.size.y + 2.0f * theme::button_padding_y)};
    const Rect r{left_top.x, left_top.y, left_top.x + size.x, left_top.y + size.y};
    const Response resp = interact(r, ImGui::GetID("open_list_button"), Sense::Click);
    log_popup_opener(resp.id);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_framed_rect(dl, r, palette::widget_bg, palette::border, 7.0f);
    const Rect t = anchor_rect(r.center(), anchor::center_center, g.size);
    paint_galley(dl, {t.left, t.top}, g);
    pointing_hand_if_hovered(resp);

    const ImGuiID id = popup_id();
    bool open = ui_memory().get<bool>(id, false);
    if (resp.clicked) open = !open;
    if (open) {
        show_open_list_popup(r, app, actions);
        // After the body, so a click on an entry is taken before the popup goes.
        const bool escape = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
        const ImVec2 m = ImGui::GetIO().MousePos;
        const bool clicked_elsewhere = ImGui::IsMouseReleased(ImGuiMouseButton_Left) && !r.contains({m.x, m.y});
        if (escape || clicked_elsewhere) open = false;
    }
    ui_memory().set<bool>(id, open);
    return r;
}

}  // namespace corvane
