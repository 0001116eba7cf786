#include "ui/views/watch_view.h"

namespace corvane {

void draw_watch_header(ViewContext& /*ctx*/) {}

void draw_watch_table(ViewContext& /*ctx*/) {}

}  // namespace corvane
