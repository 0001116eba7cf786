#pragma once
// The list editor's texts and its footer's placement, apart from drawing.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "ui/geometry.h"

namespace corvane {

// "Edit list" while a saved list is open, "New list" otherwise.
std::string_view list_editor_title(const std::optional<std::string>& saved_name);

// The host count over the editor's text as it stands: "{} host{}".
std::string editor_host_count_text(std::string_view editor_text);

inline constexpr std::string_view kListNameHint = "Office, Data center, Clients…";

// Shown in the empty host text box, one entry per line.
inline constexpr std::array<std::string_view, 6> kListHostsHint{
    "Paste addresses or names, one per line.",
    "Add a label after a space if you like:",
    "",
    "192.168.1.1 Office router",
    "10.20.0.5 Backup server",
    "printer.lan Front desk printer",
};

// Where the footer's buttons go in a row from `left` to `right` starting at
// `top`: "Delete list" (when offered) at the left; "Save and watch" (130 x 32),
// "Save" and "Cancel" from the right edge leftwards, 8 apart; all centred in
// a row at least 32 high.
struct ListEditorFooterLayout {
    std::optional<Rect> delete_list;
    Rect cancel;
    Rect save;
    Rect save_and_watch;
    float height = 0.0f;
};
ListEditorFooterLayout list_editor_footer_layout(float left, float right, float top,
                                                 std::optional<Vec2> delete_size, Vec2 save_size,
                                                 Vec2 cancel_size);

}  // namespace corvane
