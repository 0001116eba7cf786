#include "ui/views/playback_bar.h"

namespace corvane {

void draw_playback_bar(ViewContext& /*ctx*/) {}

}  // namespace corvane
