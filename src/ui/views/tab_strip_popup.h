#pragma once
// The watch strip's "+  Open list" button and the popup menu of saved lists
// it opens.
#include <string>
#include <vector>

#include "main/app.h"
#include "main/app_update.h"
#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/geometry.h"

namespace corvane {

struct OpenListMenuRow {
    enum class Kind : unsigned char { Heading, Note, Entry, Separator, NewList };
    Kind kind = Kind::Heading;
    std::string text;
    std::string list_name;  // entries: the list it opens
    FontId font;
    Color32 color;
    float text_width = 0.0f;
    float height = 0.0f;
};

// The menu as it stands now: heading, the saved lists not open (each read and
// counted afresh) or a note, separator, "New list…".
std::vector<OpenListMenuRow> open_list_menu_rows(const App& app);

// Content size of the menu, rows 8 apart, at least `min_width` wide.
Vec2 open_list_menu_size(const std::vector<OpenListMenuRow>& rows, float min_width);

// Paints the rows from `left_top`, each `width` wide; a picked list or "New
// list…" becomes the strip's request.
void draw_open_list_menu(const std::vector<OpenListMenuRow>& rows, Vec2 left_top, float width,
                         PanelActions& actions);

// The button at `left_top`; returns its rectangle. Toggles the popup, which
// shows below it until Escape or a click anywhere but on the button.
Rect draw_open_list_button(Vec2 left_top, const App& app, PanelActions& actions);

// Whether the popup is open (kept between frames under the strip's id).
bool open_list_popup_is_open();

}  // namespace corvane
