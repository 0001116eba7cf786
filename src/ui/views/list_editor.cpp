#include "ui/views/list_editor.h"

namespace corvane {

void draw_list_editor(ViewContext& /*ctx*/) {}

}  // namespace corvane
