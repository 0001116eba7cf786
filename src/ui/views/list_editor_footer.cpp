#include "ui/views/list_editor_footer.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "main/list_editor_save.h"
#include "ui/palette.h"
#include "ui/theme.h"
#include "ui/widgets.h"

namespace corvane {

namespace {

bool dialog_button_at(Rect r, std::string_view text) {
    ImGui::SetCursorScreenPos(to_im({r.left, r.top}));
    return draw_dialog_button(text).clicked;
}

}  // namespace

Vec2 list_editor_dialog_button_size(std::string_view text) { return dialog_button_size(text); }

void draw_list_editor_buttons(App& app, PanelActions& actions, const ListEditorFooterLayout& layout) {
    const Rect sw = layout.save_and_watch;
    const Response r = interact(sw, ImGui::GetID("save_and_watch"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_primary_fill(dl, sw, 6.0f, r.hovered);
    paint_text(dl, sw.center(), anchor::center_center, "Save and watch", {FontFamily::Semibold, 13.0f},
               palette::text_white);
    pointing_hand_if_hovered(r);
    if (r.clicked) actions.editor_save_and_watch = true;

    if (dialog_button_at(layout.save, "Save") && save_list_from_editor(app)) actions.editor_close = true;
    if (dialog_button_at(layout.cancel, "Cancel")) actions.editor_close = true;
}

void draw_list_editor_footer(App& app, PanelActions& actions) {
    const ImVec2 pos = ImGui::GetCursorScreenPos();
    const float width = std::max(ImGui::GetContentRegionAvail().x, 1.0f);
    std::optional<Vec2> delete_size;
    if (app.editor_saved_name) delete_size = list_editor_dialog_button_size("Delete list");
    const ListEditorFooterLayout layout =
        list_editor_footer_layout(pos.x, pos.x + width, pos.y, delete_size, list_editor_dialog_button_size("Save"),
                                  list_editor_dialog_button_size("Cancel"));
    if (layout.delete_list && dialog_button_at(*layout.delete_list, "Delete list")) actions.editor_delete = true;
    draw_list_editor_buttons(app, actions, layout);
    ImGui::SetCursorScreenPos(pos);
    ImGui::ItemSize(ImVec2(width, layout.height));
}

}  // namespace corvane
