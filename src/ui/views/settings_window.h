#pragma once
// The "Settings" window.
#include "ui/views/view_context.h"

namespace corvane {

void draw_settings_window(ViewContext& ctx);

}  // namespace corvane
