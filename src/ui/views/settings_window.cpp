#include "ui/views/settings_window.h"

namespace corvane {

void draw_settings_window(ViewContext& /*ctx*/) {}

}  // namespace corvane
