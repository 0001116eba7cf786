#include "ui/views/summary_strip.h"

namespace corvane {

void draw_summary_strip(ViewContext& /*ctx*/) {}

}  // namespace corvane
