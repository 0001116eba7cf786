#pragma once
// The list editor's name field, its hosts label row and its host text box.
#include <cstddef>
#include <string>

#include "ui/geometry.h"

namespace corvane {

// Single-line field editing `name`, the full width and 34 high.
void draw_list_editor_name_field(std::string& name);

// "Hosts" on the left and the host count right-aligned, in a 32-high row.
void draw_hosts_label_row(std::size_t host_count);
// The count alone, right-aligned and vertically centred in `row`.
void draw_host_count_label(std::size_t host_count, Rect row);

// Multi-line field editing the host text, the full width and 300 high; it
// scrolls within itself once the text is longer.
void draw_list_text_box(std::string& text);

}  // namespace corvane
