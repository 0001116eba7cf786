#pragma once
// The list editor's footer: "Delete list" for a saved list, then "Cancel",
// "Save" and "Save and watch" at the right.
#include "main/app.h"
#include "main/app_update.h"
#include "ui/views/list_editor_text.h"

namespace corvane {

// The footer row at the cursor, across the available width.
void draw_list_editor_footer(App& app, PanelActions& actions);

// The three right-hand buttons at their places. "Save" saves at once and
// asks to close when the save succeeded; the others only set requests.
void draw_list_editor_buttons(App& app, PanelActions& actions, const ListEditorFooterLayout& layout);

// The size a dialog button takes for `text`.
Vec2 list_editor_dialog_button_size(std::string_view text);

}  // namespace corvane
