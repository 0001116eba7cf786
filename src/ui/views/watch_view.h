#pragma once
// The open list's header cards.
#include "ui/views/view_context.h"

namespace corvane {

// The open list's header cards.
void draw_watch_header(ViewContext& ctx);

// Every host of the open list with its status and statistics.
void draw_watch_table(ViewContext& ctx);

}  // namespace corvane
