#pragma once
// A record of one frame's pointer targets and painted hover boxes, kept only
// while a layout test installs one: the test reads it to check that no two
// controls share a point, that each lies whole inside its panel, and that
// every tooltip and popup stays inside the window. Without an installed log
// recording costs a null check.
#include <string>
#include <string_view>
#include <vector>

#include <imgui.h>

#include "ui/geometry.h"

struct ImGuiWindow;

namespace corvane {

// What an item is to its neighbours.
enum class ItemRole : unsigned char {
    Control,  // button, field, segment, drop-down: shares its points with nothing
    Area,     // row, card or tab: may hold controls submitted before it
    Overlay,  // scroll thumb, panel grab band: may float over areas, never over controls
    Hint,     // hover-only region that shows a tooltip
};

struct LoggedItem {
    ImGuiID id = 0;
    Rect rect;     // as laid out
    Rect visible;  // the part within its window's clip rectangle (empty when none)
    ItemRole role = ItemRole::Control;
    const ImGuiWindow* window = nullptr;
    bool opens_popup = false;
    bool tooltip = false;  // shows a tooltip or hover box while hovered
};

struct LoggedText {
    std::string text;
    Rect rect;     // the laid-out text's box
    Rect visible;  // the part within the draw list's clip rectangle
    Rect clip;     // that clip rectangle
    const ImGuiWindow* window = nullptr;
    bool cut_by_design = false;  // in a box whose look cuts long texts at its edge
};

struct ItemLog {
    std::vector<LoggedItem> items;  // in submission order
    std::vector<LoggedText> texts;  // painted into their window's own draw list
    std::vector<Rect> hover_boxes;  // painted chart and timeline hover boxes
};

// Installs (or with nullptr removes) the log the kit writes to.
void set_item_log(ItemLog* log);

// Notes an item of the current window. A Hint for an id already noted only
// marks that item as having a tooltip (a clickable item with a tooltip stays
// what it is).
void log_item(Rect rect, ImGuiID id, ItemRole role);
// The same for the item Dear ImGui's own widget just submitted.
void log_last_imgui_item(ItemRole role = ItemRole::Control);
// Marks a noted item as the opener of a popup or drop-down.
void log_popup_opener(ImGuiID id);
void log_hover_box(Rect box);
// A text painted at `rect` into `dl`.
void log_text(ImDrawList* dl, std::string_view text, Rect rect);
// Texts logged between these two (they nest) are painted in a box whose
// look cuts long texts at its edge.
void begin_texts_cut_by_design();
void end_texts_cut_by_design();

}  // namespace corvane
