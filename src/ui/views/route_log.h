#pragma once
// The Signal layout's destination card and route log.
#include "ui/views/view_context.h"

namespace corvane {

void draw_route_log(ViewContext& ctx);

}  // namespace corvane
