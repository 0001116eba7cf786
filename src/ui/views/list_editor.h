#pragma once
// The "List editor" window.
#include "ui/views/view_context.h"

namespace corvane {

void draw_list_editor(ViewContext& ctx);

}  // namespace corvane
