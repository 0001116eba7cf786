#include "ui/views/chart_cards.h"

namespace corvane {

void draw_instrument_chart(ViewContext& /*ctx*/) {}

void draw_signal_chart(ViewContext& /*ctx*/) {}

void draw_watch_chart(ViewContext& /*ctx*/) {}

}  // namespace corvane
