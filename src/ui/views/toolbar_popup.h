#pragma once
// The toolbar's drop-downs (recent targets, intervals): a box below its
// opener that the opener toggles and that any click away from the opener, or
// Escape, closes once its rows have seen the click. ImGui's own popups close
// on the press, so the opener would close and reopen them; the open flag is
// ours instead, kept in the widgets' memory.
#include <functional>
#include <optional>
#include <string_view>

#include <imgui.h>

#include "ui/color.h"
#include "ui/fonts.h"
#include "ui/geometry.h"

namespace corvane::toolbar_kit {

bool popup_open(ImGuiID id);
void set_popup_open(ImGuiID id, bool open);
void toggle_popup(ImGuiID id);

// While open: the box (fill 22, outline 42, corner radius 8, margin 6) with
// its left-top at the opener's left-bottom, rows `inner_width` wide, then the
// closing rules.
void show_popup_below(ImGuiID id, const char* window_name, Rect opener, float inner_width,
                      const std::function<void()>& body);

// A plain text row.
void popup_label(std::string_view text, FontId font, Color32 color);

// A separator row: 6 high with a line across its middle.
void popup_separator(float width);

}  // namespace corvane::toolbar_kit
