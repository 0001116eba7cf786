#pragma once
// The chart cards: the charted hop's line chart (Instrument layout), its
// 60-bar chart (Signal layout) and the charted host's line chart (watch
// view), each under its header row with the chart window selector.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/monitor_state.h"
#include "ui/geometry.h"
#include "ui/views/view_context.h"

namespace corvane {

// The charted hop's line chart card with its header and window selector.
void draw_instrument_chart(ViewContext& ctx);

// The charted hop's 60-bar chart card with its header.
void draw_signal_chart(ViewContext& ctx);

// The charted host's chart card.
void draw_watch_chart(ViewContext& ctx);

// The card bodies, drawn in `pane` (the card's inner rectangle).
void draw_hop_detail_pane(Rect pane, std::span<const HopStats> hops, std::size_t index, App& app,
                          std::uint64_t probe_ms);
void draw_host_detail_pane(Rect pane, std::span<const HopStats> hosts, std::size_t index,
                           std::uint64_t& window_secs, std::uint64_t probe_ms);
void draw_bar_chart(Rect pane, std::span<const HopStats> hops, std::size_t index, App& app, std::int64_t now);

}  // namespace corvane
