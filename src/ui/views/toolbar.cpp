#include "ui/views/toolbar.h"

namespace corvane {

void draw_toolbar(ViewContext& /*ctx*/) {}

}  // namespace corvane
