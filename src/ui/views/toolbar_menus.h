#pragma once
// The toolbar's two kinds of drop-down: the interval choosers and the
// recent-targets menu.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <imgui.h>

#include "engine/shared_settings.h"
#include "main/settings.h"
#include "ui/geometry.h"
#include "ui/views/toolbar_actions.h"

namespace corvane {

// The closed combo's size for its label and the current choice's label:
// at least 112 wide, 32 high.
Vec2 interval_combo_size(std::string_view label, std::string_view value_label);

// One interval drop-down in `r`; a choice is stored in the shared value at
// once, so running sessions follow it.
void show_interval_combo(Rect r, const char* id_text, std::string_view label, std::string_view tooltip,
                         SharedSettings& shared, IntervalKind kind, std::span<const IntervalChoice> table);

// The drop-down's rows; a click stores the row's value.
void interval_choice_list(std::span<const IntervalChoice> table, SharedSettings& shared, IntervalKind kind,
                          float width);

// The menu's width: at least 240, or its widest row.
float recent_targets_menu_width(const std::vector<std::string>& recent);

// The menu body: heading, the targets newest first (or the empty note), and
// "Clear list". A clicked target goes to `chosen`; "Clear list" sets `clear`.
void draw_recent_targets_menu(const std::vector<std::string>& recent, std::optional<std::string>& chosen, bool& clear,
                              float width);

// The popup below the recent-targets button, while open.
void recent_targets_popup(ImGuiID popup_id, Rect opener, const std::vector<std::string>& recent,
                          std::optional<std::string>& chosen, bool& clear);

}  // namespace corvane
