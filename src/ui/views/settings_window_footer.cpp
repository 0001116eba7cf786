#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "main/settings.h"
#include "main/unicode_text.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/widgets.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

namespace {

constexpr Vec2 kDoneSize{84.0f, 32.0f};
constexpr FontId kAboutFont{FontFamily::Medium, 11.5f};
constexpr FontId kSavedToFont{FontFamily::Proportional, 11.0f};
constexpr Color32 kSavedToColor = rgb(85, 85, 85);

std::string about_text() {
    return std::string(kSettingsVersionLine) + "  \u00B7  " + kSettingsMakerAddress;
}

std::string saved_to_text() { return "Settings are saved to " + lossy_utf8(settings_ini_path().native()); }

}  // namespace

void draw_settings_footer(bool& close) {
    const float block_height = layout_text("Corvane", kAboutFont, palette::text_secondary).size.y + 2.0f +
                               layout_text("Settings", kSavedToFont, kSavedToColor).size.y;
    SettingsRow row(std::max(kDoneSize.y, block_height), 8.0f);
    row.place_right(kDoneSize);
    draw_done_button(close);
    row.place(block_height);
    draw_settings_about_line();
    row.end();
}

void draw_settings_about_line() {
    // A long settings path is cut rather than run under "Done".
    const float width = std::max(10.0f, ImGui::GetContentRegionAvail().x - kDoneSize.x - 8.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(ImGui::GetStyle().ItemSpacing.x, 2.0f));
    ImGui::BeginGroup();
    settings_label(about_text(), kAboutFont, palette::text_secondary);
    const Galley saved = elide_text_row(saved_to_text(), kSavedToFont, width);
    settings_label(saved.text, kSavedToFont, kSavedToColor);
    ImGui::EndGroup();
    ImGui::PopStyleVar();
}

void draw_done_button(bool& close) {
    const Rect r = allocate_item(kDoneSize);
    const Response resp = interact(r, ImGui::GetID("done"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_primary_fill(dl, r, 6.0f, resp.hovered);
    paint_text(dl, r.center(), anchor::center_center, "Done", {FontFamily::Semibold, 13}, palette::text_white);
    pointing_hand_if_hovered(resp);
    if (resp.clicked) close = true;
}

}  // namespace corvane
