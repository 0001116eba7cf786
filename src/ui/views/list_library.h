#pragma once
// The saved lists as cards, when no list is open.
#include "ui/views/view_context.h"

namespace corvane {

void draw_list_library(ViewContext& ctx);

}  // namespace corvane
