#pragma once
// The error banner.
#include "ui/views/view_context.h"

namespace corvane {

// The error banner.
void draw_error_banner(ViewContext& ctx);

// The newest alert, with its details.
void draw_alert_banner(ViewContext& ctx);

}  // namespace corvane
