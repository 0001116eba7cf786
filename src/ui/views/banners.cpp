#include "ui/views/banners.h"

namespace corvane {

void draw_error_banner(ViewContext& /*ctx*/) {}

void draw_alert_banner(ViewContext& /*ctx*/) {}

}  // namespace corvane
