#pragma once
// The top toolbar: view switch, target, start and stop, intervals, recording, clock, sound, settings.
#include "ui/views/view_context.h"

namespace corvane {

void draw_toolbar(ViewContext& ctx);

}  // namespace corvane
