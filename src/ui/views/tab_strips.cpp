#include "ui/views/tab_strips.h"

namespace corvane {

void draw_trace_tab_strip(ViewContext& /*ctx*/) {}

void draw_watch_tab_strip(ViewContext& /*ctx*/) {}

}  // namespace corvane
