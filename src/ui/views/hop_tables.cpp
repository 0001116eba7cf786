#include "ui/views/hop_tables.h"

#include "ui/views/hop_table_compact.h"
#include "ui/views/hop_table_wide.h"

namespace corvane {

void draw_wide_hop_table(ViewContext& ctx) {
    if (ctx.view.displayed == nullptr) return;
    HopTableInputs in = hop_table_inputs(ctx);
    draw_wide_hop_table_header(in, ctx.panel.content);
}

void draw_compact_hop_table(ViewContext& ctx) {
    if (ctx.view.displayed == nullptr) return;
    HopTableInputs in = hop_table_inputs(ctx);
    compact_hop_table_panel(in, ctx.panel.content);
}

}  // namespace corvane
