#include "ui/views/list_library.h"

namespace corvane {

void draw_list_library(ViewContext& /*ctx*/) {}

}  // namespace corvane
