#include "ui/views/tab_strip_tab.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"

namespace corvane {

namespace {

constexpr FontId kTitleFont{FontFamily::Medium, 12.5f};
constexpr FontId kSubtitleFont{FontFamily::Monospace, 11.5f};
constexpr Color32 kActiveOutline = palette::accent_shadow;  // 70,32,10
constexpr Color32 kHoverFill = palette::window_bg;          // 22,22,22

ImGuiID indexed_id(const char* text, std::size_t index) {
    ImGui::PushID(text);
    const ImGuiID id = ImGui::GetCurrentWindow()->GetID(static_cast<int>(index));
    ImGui::PopID();
    return id;
}

ImVec2 im(float x, float y) { return ImVec2(x, y); }

}  // namespace

Rect tab_close_area(Rect tab) {
    const Vec2 c{tab.right - 14.0f, tab.center().y};
    return {c.x - 9.0f, c.y - 9.0f, c.x + 9.0f, c.y + 9.0f};
}

StripTabResult draw_strip_tab(const TabLook& look, Vec2 left_top, bool active, std::size_t index,
                              const StripTabStyle& style) {
    const Galley title = layout_text(look.title, kTitleFont, palette::text_primary);
    std::optional<Galley> subtitle;
    if (look.subtitle) subtitle = layout_text(*look.subtitle, kSubtitleFont, palette::text_secondary);
    const float width = tab_width(title.size.x, subtitle ? std::optional<float>(subtitle->size.x) : std::nullopt,
                                  style.max_width);
    const Rect tab{left_top.x, left_top.y, left_top.x + width, left_top.y + kTabHeight};
    const float cy = tab.center().y;

    // The close area sits on the tab: submit it first so it takes the hover.
    const Rect close_rect = tab_close_area(tab);
    const Response close = interact(close_rect, indexed_id(style.close_id, index), Sense::Click);
    const Response body = interact(tab, indexed_id(style.tab_id, index), Sense::Click, ItemRole::Area);
    const bool pointer_on_tab = body.hovered || close.hovered;

    ImDrawList* dl = ImGui::GetWindowDrawList();
    Color32 title_colour = palette::text_dim;
    if (active) {
        dl->AddRectFilled(im(tab.left, tab.top), im(tab.right, tab.bottom), to_imu32(palette::tab_fill), 7.0f);
        dl->AddRect(im(tab.left, tab.top), im(tab.right, tab.bottom), to_imu32(kActiveOutline), 7.0f, 0, 1.0f);
        dl->AddRectFilled(im(tab.left + 8.0f, tab.bottom - 2.0f), im(tab.right - 8.0f, tab.bottom),
                          to_imu32(palette::accent), 1.0f);
        title_colour = palette::text_primary;
    } else if (pointer_on_tab) {
        dl->AddRectFilled(im(tab.left, tab.top), im(tab.right, tab.bottom), to_imu32(kHoverFill), 7.0f);
    }

    dl->AddCircleFilled(im(tab.left + 14.0f, cy), 3.5f, to_imu32(look.dot), 16);

    {
        // A long title is cut short of the close button.
        const TextCuttingBox cut(dl, {tab.left, tab.top, tab.right - 26.0f, tab.bottom});
        const Rect t = anchor_rect({tab.left + 26.0f, cy}, anchor::left_center, title.size);
        paint_galley(dl, {t.left, t.top}, title, title_colour);
        if (subtitle) {
            const Rect s = anchor_rect({t.right + 10.0f, cy}, anchor::left_center, subtitle->size);
            paint_galley(dl, {s.left, s.top}, *subtitle);
        }
    }

    if (close.hovered)
        dl->AddRectFilled(im(close_rect.left, close_rect.top), im(close_rect.right, close_rect.bottom),
                          to_imu32(palette::close_hover), 4.0f);
    if (pointer_on_tab || active) {
        const Vec2 c = close_rect.center();
        const ImU32 cross = to_imu32(close.hovered ? palette::text_primary : palette::text_secondary);
        dl->AddLine(im(c.x - 3.5f, c.y - 3.5f), im(c.x + 3.5f, c.y + 3.5f), cross, 1.3f);
        dl->AddLine(im(c.x - 3.5f, c.y + 3.5f), im(c.x + 3.5f, c.y - 3.5f), cross, 1.3f);
    }
    hover_tooltip_text(close, style.close_tooltip);
    pointing_hand_if_hovered(close);
    pointing_hand_if_hovered(body);

    StripTabResult out;
    out.rect = tab;
    out.close_clicked = close.clicked;
    out.select_clicked = !close.clicked && body.clicked;
    return out;
}

}  // namespace corvane
