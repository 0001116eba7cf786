#include "ui/views/panel_contents.h"

#include "ui/views/toolbar.h"
#include "ui/views/playback_bar.h"
#include "ui/views/tab_strips.h"
#include "ui/views/banners.h"
#include "ui/views/status_bar.h"
#include "ui/views/hop_tables.h"
#include "ui/views/chart_cards.h"
#include "ui/views/summary_strip.h"
#include "ui/views/route_log.h"
#include "ui/views/watch_view.h"
#include "ui/views/list_library.h"
#include "ui/views/list_editor.h"
#include "ui/views/settings_window.h"

namespace corvane {

void draw_panel_contents(ViewContext& ctx) {
    switch (ctx.panel.spec.id) {
    case PanelId::Toolbar: draw_toolbar(ctx); break;
    case PanelId::PlaybackBar: draw_playback_bar(ctx); break;
    case PanelId::TraceTabStrip: draw_trace_tab_strip(ctx); break;
    case PanelId::WatchTabStrip: draw_watch_tab_strip(ctx); break;
    case PanelId::ErrorBanner: draw_error_banner(ctx); break;
    case PanelId::AlertBanner: draw_alert_banner(ctx); break;
    case PanelId::StatusBar: draw_status_bar(ctx); break;
    case PanelId::WideHopTable: draw_wide_hop_table(ctx); break;
    case PanelId::CompactHopTable: draw_compact_hop_table(ctx); break;
    case PanelId::InstrumentChart: draw_instrument_chart(ctx); break;
    case PanelId::SignalChart: draw_signal_chart(ctx); break;
    case PanelId::WatchChart: draw_watch_chart(ctx); break;
    case PanelId::SummaryStrip: draw_summary_strip(ctx); break;
    case PanelId::RouteLog: draw_route_log(ctx); break;
    case PanelId::WatchHeader: draw_watch_header(ctx); break;
    case PanelId::WatchTable: draw_watch_table(ctx); break;
    case PanelId::ListLibrary: draw_list_library(ctx); break;
    case PanelId::ListEditor: draw_list_editor(ctx); break;
    case PanelId::Settings: draw_settings_window(ctx); break;
    }
}

}  // namespace corvane
