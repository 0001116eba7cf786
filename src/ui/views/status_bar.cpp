#include "ui/views/status_bar.h"

namespace corvane {

void draw_status_bar(ViewContext& /*ctx*/) {}

}  // namespace corvane
