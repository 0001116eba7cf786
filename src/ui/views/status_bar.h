#pragma once
// The session state along the bottom edge.
#include "ui/views/view_context.h"

namespace corvane {

void draw_status_bar(ViewContext& ctx);

}  // namespace corvane
