#pragma once
// The text cursor of a field being edited, as the theme draws it: 2 points
// wide, 192,222,255, on for 0.5 s and off for 0.5 s, restarting on at every
// edit or move; a frame is asked for at each change, and only then. ImGui
// 1.86 draws its own cursor (1 pixel, the text colour, a blink of its own)
// as the last shape of the field; that one is made see-through.
#include <imgui.h>

#include "ui/geometry.h"

namespace corvane {

// Where the field's shapes start in its draw list: take it right before
// ImGui's InputText.
struct TextFieldMark {
    ImDrawList* list = nullptr;
    int first_vertex = 0;
};
TextFieldMark mark_text_field();

// Right after a single-line InputText, while its font, padding and text
// colour are still pushed: replaces ImGui's cursor with ours when the field
// is being edited.
void draw_single_line_cursor(const TextFieldMark& mark);

// Hides the trailing cursor ImGui drew since `mark` in `text_colour`.
void hide_imgui_cursor(const TextFieldMark& mark, ImU32 text_colour);

// Whether the cursor of the field being edited shows now; asks for a frame
// at the next change. Nothing shows when the field is not being edited.
bool text_cursor_visible(ImGuiID id);

// Paints the cursor whose left-right middle is x, from top to bottom.
void paint_text_cursor(ImDrawList* list, float x, float top, float bottom);

}  // namespace corvane
