#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "ui/palette.h"
#include "ui/layout_steps.h"
#include "ui/theme.h"
#include "ui/widget_layout.h"
#include "ui/widgets.h"

namespace corvane {

namespace {
constexpr FontId kDialogButtonFont{FontFamily::Medium, 12.5f};
}

Vec2 dialog_button_size(std::string_view text) {
    const Galley g = layout_text(text, kDialogButtonFont, palette::text_primary);
    return {g.size.x + 2.0f * theme::button_padding_x,
            std::max(theme::interact_size_y, g.size.y + 2.0f * theme::button_padding_y)};
}

Response draw_dialog_button(std::string_view text) {
    const Galley g = layout_text(text, kDialogButtonFont, palette::text_primary);
    const Rect r = allocate_item(dialog_button_size(text));
    const std::string key(text);
    const Response resp = interact(r, ImGui::GetID(key.c_str()), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_framed_rect(dl, r, palette::widget_bg, palette::border, 6.0f);
    const Rect t = anchor_rect(r.center(), anchor::center_center, g.size);
    paint_galley(dl, {t.left, t.top}, g);
    pointing_hand_if_hovered(resp);
    return resp;
}

void draw_close_x_button(bool& out) {
    const Rect r = allocate_item({28.0f, 28.0f});
    const Response resp = interact(r, ImGui::GetID("close_x"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    Color32 cross = palette::text_secondary;
    if (resp.hovered) {
        dl->AddRectFilled(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(palette::widget_bg), 6.0f);
        cross = palette::text_primary;
    }
    const Vec2 c = r.center();
    dl->AddLine(ImVec2(c.x - 5, c.y - 5), ImVec2(c.x + 5, c.y + 5), to_imu32(cross), 1.6f);
    dl->AddLine(ImVec2(c.x - 5, c.y + 5), ImVec2(c.x + 5, c.y - 5), to_imu32(cross), 1.6f);
    pointing_hand_if_hovered(resp);
    hover_tooltip_text(resp, "Close");
    if (resp.clicked) out = true;
}

bool segmented_switch_impl(int current_index, std::string_view first, std::string_view second, int& clicked_index) {
    const std::string_view labels[2] = {first, second};
    Galley g[2];
    for (int i = 0; i < 2; ++i) {
        const FontId f{i == current_index ? FontFamily::Semibold : FontFamily::Proportional, 12.0f};
        g[i] = layout_text(labels[i], f, palette::text_primary);
    }
    const Rect outer = allocate_item(segmented_switch_size(g[0].size.x, g[1].size.x));
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(to_im({outer.left, outer.top}), to_im({outer.right, outer.bottom}), to_imu32(palette::panel_bg),
                      7.0f);
    dl->AddRect(ImVec2(outer.left, outer.top), ImVec2(outer.right, outer.bottom), to_imu32(palette::divider), 7.0f, 0,
                1.0f);

    bool changed = false;
    float x = outer.left + 2.0f;
    for (int i = 0; i < 2; ++i) {
        const Rect seg{x, outer.top + 2.0f, x + segment_width(g[i].size.x), outer.top + 30.0f};
        const int left = static_cast<int>(seg.left);
        ImGui::PushID("seg");
        ImGui::PushID(i);
        const ImGuiID id = ImGui::GetCurrentWindow()->GetID(left);
        ImGui::PopID();
        ImGui::PopID();
        const Response resp = interact(seg, id, Sense::Click);
        Color32 text = resp.hovered ? palette::text_primary : palette::text_secondary;
        if (i == current_index) {
            dl->AddRectFilled(to_im({seg.left, seg.top}), to_im({seg.right, seg.bottom}), to_imu32(palette::segment_fill),
                              5.0f);
            text = palette::accent_bright;
        }
        const Rect t = anchor_rect(seg.center(), anchor::center_center, g[i].size);
        paint_galley(dl, {t.left, t.top}, g[i], text);
        pointing_hand_if_hovered(resp);
        if (resp.clicked && i != current_index) {
            clicked_index = i;
            changed = true;
        }
        x = seg.right + 2.0f;
    }
    return changed;
}

float selectable_label_width(std::string_view text, FontId font) {
    return layout_text(text, font, palette::text_primary).size.x + 2.0f * theme::button_padding_x;
}

bool draw_selectable_label(std::string_view text, FontId font, std::optional<Color32> color, bool selected,
                           float width) {
    const Galley g = layout_text(text, font, palette::text_primary);
    const Rect r = allocate_item({width, std::max(theme::interact_size_y, g.size.y + 2.0f * theme::button_padding_y)});
    const Response resp = interact(r, ImGui::GetID(std::string(text).c_str()), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    Color32 text_color = widget_visuals(WidgetState::Inactive).text.color;
    if (selected || resp.hovered) {
        const Color32 fill = selected ? theme::selection_fill : widget_visuals(WidgetState::Hovered).fill;
        const Color32 line = selected ? theme::selection_stroke.color : widget_visuals(WidgetState::Hovered).border.color;
        paint_framed_rect(dl, r, fill, line, 6.0f);
        text_color = selected ? theme::selection_stroke.color : widget_visuals(WidgetState::Hovered).text.color;
    }
    if (color) text_color = *color;
    const Rect t = anchor_rect({r.left + theme::button_padding_x, r.center().y}, anchor::left_center, g.size);
    paint_galley(dl, {t.left, t.top}, g, text_color);
    pointing_hand_if_hovered(resp);
    return resp.clicked;
}

}  // namespace corvane
