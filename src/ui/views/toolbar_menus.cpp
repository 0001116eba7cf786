#include "ui/views/toolbar_menus.h"

#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "ui/fonts.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/widgets.h"
#include "ui/views/toolbar_popup.h"

namespace corvane {

using namespace toolbar_kit;

namespace {

constexpr FontId kComboLabelFont{FontFamily::Proportional, 12.0f};
constexpr FontId kComboValueFont{FontFamily::Monospace, 12.5f};
constexpr FontId kChoiceFont{FontFamily::Monospace, 12.5f};
constexpr float kComboWidth = 112.0f;
constexpr float kIconWidth = 14.0f, kIconSpacing = 4.0f;
constexpr float kPopupMargins = 12.0f;  // 6 on either side

constexpr FontId kHeadingFont{FontFamily::Semibold, 10.5f};
constexpr FontId kNoteFont{FontFamily::Proportional, 12.5f};
constexpr FontId kTargetFont{FontFamily::Monospace, 13.0f};
constexpr const char* kRecentHeading = "RECENT TARGETS";
constexpr const char* kRecentEmpty = "None yet. Targets you trace show up here.";
constexpr const char* kClearList = "Clear list";

}  // namespace

Vec2 interval_combo_size(std::string_view label, std::string_view value_label) {
    const float text = layout_text(label, kComboLabelFont, palette::text_secondary).size.x + 6.0f +
                       layout_text(value_label, kComboValueFont, palette::text_primary).size.x;
    const float natural = 2.0f * theme::button_padding_x + text + kIconSpacing + kIconWidth;
    return {std::max(kComboWidth, natural), theme::interact_size_y};
}

void interval_choice_list(std::span<const IntervalChoice> table, SharedSettings& shared, IntervalKind kind,
                          float width) {
    const std::uint64_t current = shared_interval(shared, kind);
    for (std::size_t i = 0; i < table.size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        if (draw_selectable_label(table[i].label, kChoiceFont, std::nullopt, current == table[i].value, width))
            store_shared_interval(shared, kind, table[i].value);
        ImGui::PopID();
    }
}

void show_interval_combo(Rect r, const char* id_text, std::string_view label, std::string_view tooltip,
                         SharedSettings& shared, IntervalKind kind, std::span<const IntervalChoice> table) {
    const ImGuiID id = ImGui::GetID(id_text);
    const ImGuiID popup_id = ImHashStr("popup", 0, id);
    const Response resp = interact(r, id, Sense::Click);
    if (resp.clicked) toggle_popup(popup_id);
    log_popup_opener(id);
    const bool open = popup_open(popup_id);

    const WidgetVisuals& v =
        widget_visuals(open ? WidgetState::Open : resp.hovered ? WidgetState::Hovered : WidgetState::Inactive);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_framed_rect(dl, r, v.fill, v.border.color, v.rounding, v.border.width);

    // Label and choice as one text: two runs on a shared bottom line.
    const Galley l = layout_text(label, kComboLabelFont, palette::text_secondary);
    const Galley c = layout_text(interval_label(table, shared_interval(shared, kind)), kComboValueFont,
                                 palette::text_primary);
    const float h = std::max(l.size.y, c.size.y);
    const float top = r.center().y - h * 0.5f;
    const float x = r.left + theme::button_padding_x;
    paint_galley(dl, {x, top + h - l.size.y}, l);
    paint_galley(dl, {x + l.size.x + 6.0f, top + h - c.size.y}, c);

    // The drop-down arrow at the right end.
    const Vec2 ic{r.right - theme::button_padding_x - kIconWidth * 0.5f, r.center().y};
    const float hw = kIconWidth * 0.7f * 0.5f, hh = kIconWidth * 0.45f * 0.5f;
    dl->AddTriangleFilled(ImVec2(ic.x - hw, ic.y - hh), ImVec2(ic.x + hw, ic.y - hh), ImVec2(ic.x, ic.y + hh),
                          to_imu32(v.text.color));

    pointing_hand_if_hovered(resp);
    if (!open) hover_tooltip_text(resp, tooltip);

    const std::string window = std::string("##") + id_text + "_popup";
    show_popup_below(popup_id, window.c_str(), r, r.width() - kPopupMargins,
                     [&] { interval_choice_list(table, shared, kind, r.width() - kPopupMargins); });
}

float recent_targets_menu_width(const std::vector<std::string>& recent) {
    float w = 240.0f;
    w = std::max(w, layout_text(kRecentHeading, kHeadingFont, palette::text_faint).size.x);
    if (recent.empty()) return std::max(w, layout_text(kRecentEmpty, kNoteFont, palette::text_secondary).size.x);
    for (const std::string& t : recent) w = std::max(w, selectable_label_width(t, kTargetFont));
    return std::max(w, selectable_label_width(kClearList, kNoteFont));
}

void draw_recent_targets_menu(const std::vector<std::string>& recent, std::optional<std::string>& chosen, bool& clear,
                              float width) {
    popup_label(kRecentHeading, kHeadingFont, palette::text_faint);
    if (recent.empty()) {
        popup_label(kRecentEmpty, kNoteFont, palette::text_secondary);
        return;
    }
    for (std::size_t i = 0; i < recent.size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        if (draw_selectable_label(recent[i], kTargetFont, std::nullopt, false, width)) chosen = recent[i];
        ImGui::PopID();
    }
    popup_separator(width);
    ImGui::PushID("clear");
    if (draw_selectable_label(kClearList, kNoteFont, palette::text_secondary, false, width)) clear = true;
    ImGui::PopID();
}

void recent_targets_popup(ImGuiID popup_id, Rect opener, const std::vector<std::string>& recent,
                          std::optional<std::string>& chosen, bool& clear) {
    const float width = recent_targets_menu_width(recent);
    show_popup_below(popup_id, "##recent_targets_popup", opener, width,
                     [&] { draw_recent_targets_menu(recent, chosen, clear, width); });
}

}  // namespace corvane
