#include "ui/views/hop_tables.h"

namespace corvane {

void draw_wide_hop_table(ViewContext& /*ctx*/) {}

void draw_compact_hop_table(ViewContext& /*ctx*/) {}

}  // namespace corvane
