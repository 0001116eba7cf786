#include "ui/views/route_log.h"

namespace corvane {

void draw_route_log(ViewContext& /*ctx*/) {}

}  // namespace corvane
