#include <imgui_internal.h>

#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/widget_layout.h"
#include "ui/widgets.h"

namespace corvane {

Response draw_stat_card(std::string_view title, std::string_view value, FontId value_font, Color32 value_color,
                        std::string_view unit, std::string_view sub, const std::optional<StatNote>& note) {
    const FontId small{FontFamily::Proportional, 11.5f};
    const Galley title_g = layout_text(title, small, palette::text_secondary);
    const Galley value_g = layout_text(value, value_font, value_color);
    const std::optional<Galley> unit_g =
        unit.empty() ? std::nullopt
                     : std::optional(layout_text(unit, {FontFamily::Proportional, 13.0f}, palette::text_secondary));
    const std::optional<Galley> note_g =
        note ? std::optional(layout_text(note->text, {FontFamily::Monospace, 13.0f}, note->color)) : std::nullopt;
    const Galley sub_full = layout_text(sub, small, palette::text_faint);

    StatCardTexts widths{title_g.size.x, value_g.size.x, unit_g ? unit_g->size.x : -1.0f,
                         note_g ? note_g->size.x : -1.0f, sub_full.size.x};
    const float c = stat_card_content_width(widths, ImGui::GetContentRegionAvail().x);
    const Galley sub_g = elide_text_row(sub, small, c);

    const Rect rect = allocate_item({stat_card_width(c), kStatCardHeight});
    const ImGuiID id = ImGui::GetID(title.data(), title.data() + title.size());
    ImGui::ItemAdd(ImRect(rect.left, rect.top, rect.right, rect.bottom), id);
    const Response response = interact(rect, id, Sense::Hover);

    ImDrawList* dl = ImGui::GetWindowDrawList();
    // A card narrowed to share its row can start at a fraction of a point;
    // its divider keeps to whole pixels.
    const float line_x = on_whole_pixel(rect.left);
    dl->AddLine(ImVec2(line_x, rect.top + 6), ImVec2(line_x, rect.bottom - 6), to_imu32(palette::divider), 1.0f);
    const float x = rect.left + 32.0f;
    paint_galley(dl, {x, rect.top}, title_g);
    const float value_top = rect.top + title_g.size.y - 2.0f;
    paint_galley(dl, {x, value_top}, value_g);
    const float baseline = value_top + 0.8f * value_g.size.y;
    float right = x + value_g.size.x;
    if (unit_g) {
        paint_galley(dl, {right + 4.0f, baseline - 0.8f * unit_g->size.y}, *unit_g);
        right += 4.0f + unit_g->size.x;
    }
    if (note_g) paint_galley(dl, {right + 8.0f, baseline - 0.8f * note_g->size.y}, *note_g);
    paint_galley(dl, {x, rect.bottom - sub_g.size.y}, sub_g, palette::text_faint);
    return response;
}

}  // namespace corvane
