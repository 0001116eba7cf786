#pragma once
// The bar of a recording being played: play and pause, speeds, timeline with its marks, back to live.
#include "ui/views/view_context.h"

namespace corvane {

void draw_playback_bar(ViewContext& ctx);

}  // namespace corvane
