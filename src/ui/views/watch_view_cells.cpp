#include "ui/views/watch_view_cells.h"

#include "ui/latency_text.h"

#include <cmath>
#include <cstdio>

#include "engine/clock_text.h"
#include "ui/palette.h"

namespace corvane {

namespace {

constexpr const char* kNoData = "\u00b7";
constexpr const char* kJoin = "  \u00b7  ";

CellText no_data() { return {kNoData, palette::waiting_grey}; }

}  // namespace

Color32 watch_rtt_color(double ms) {
    if (ms > 250.0) return palette::bad_red;
    if (ms > 100.0) return palette::warn_amber;
    return palette::value_text;
}

CellText watch_last_cell(const HopStats& h) {
    if (h.received == 0) return no_data();
    return {std::to_string(h.last), watch_rtt_color(h.last)};
}

CellText watch_avg_cell(const HopStats& h) {
    if (h.received == 0) return no_data();
    const double avg = static_cast<double>(h.rtt_sum) / h.received;
    return {format_decimals(avg, 0), watch_rtt_color(avg)};
}

CellText watch_loss_cell(const HopStats& h) {
    if (h.sent == 0) return no_data();
    // A recording may claim more replies than probes; that is no loss, not a
    // wrapped-around count.
    const std::uint32_t lost = h.sent > h.received ? h.sent - h.received : 0;
    const double loss = static_cast<double>(lost) * 100.0 / h.sent;
    Color32 c = palette::waiting_grey;
    if (loss >= 2.0) {
        c = palette::bad_red;
    } else if (loss > 0.0) {
        c = palette::warn_amber;
    }
    return {format_decimals(loss, 1) + "%", c};
}

CellText watch_jitter_cell(const HopStats& h) {
    if (h.received < 2) return no_data();
    return {format_decimals(h.jitter, 1), palette::text_secondary};
}

std::string watch_host_name_line(const HopStats& h) {
    if (h.label) return *h.label;
    if (h.host) return *h.host;
    return {};
}

std::string watch_host_detail_line(const HopStats& h) {
    std::vector<std::string> parts;
    if (h.label && h.host) parts.push_back(*h.host);
    if (h.addr) {
        std::string dotted = h.addr->to_string();
        if (!h.host || dotted != *h.host) parts.push_back(std::move(dotted));
    }
    if (h.name && !h.name->empty()) parts.push_back(*h.name);
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += kJoin;
        out += p;
    }
    return out;
}

Color32 watch_status_dot_color(HostStatusKind kind) {
    switch (kind) {
    case HostStatusKind::Waiting: return palette::waiting_grey;
    case HostStatusKind::Up: return palette::ok_green;
    case HostStatusKind::Degraded: return palette::warn_amber;
    case HostStatusKind::Down:
    case HostStatusKind::Error: return palette::bad_red;
    }
    return palette::waiting_grey;
}

Color32 watch_status_text_color(HostStatusKind kind) {
    switch (kind) {
    case HostStatusKind::Waiting: return palette::waiting_grey;
    case HostStatusKind::Up: return palette::value_dim;
    case HostStatusKind::Degraded: return palette::warn_amber;
    case HostStatusKind::Down:
    case HostStatusKind::Error: return palette::bad_red;
    }
    return palette::waiting_grey;
}

WatchCounts count_watch_statuses(const std::vector<HostStatusKind>& statuses, const std::vector<RouteEvent>& events) {
    WatchCounts c;
    for (const HostStatusKind kind : statuses) {
        switch (kind) {
        case HostStatusKind::Up: ++c.up; break;
        case HostStatusKind::Degraded: ++c.degraded; break;
        case HostStatusKind::Down:
        case HostStatusKind::Error: ++c.down; break;
        case HostStatusKind::Waiting: break;
        }
    }
    for (const RouteEvent& e : events) {
        if (e.kind != RouteEventKind::HostDown) continue;
        ++c.outages;
        // Events arrive in time order; a later one of equal time is newer too.
        if (!c.newest_outage_ms || e.time_ms >= *c.newest_outage_ms) c.newest_outage_ms = e.time_ms;
    }
    return c;
}

Color32 watch_count_color(std::size_t count, Color32 card_color) {
    return count > 0 ? card_color : palette::text_primary;
}

std::string watch_header_sub_line(std::size_t hosts, std::int64_t started_ms) {
    return std::to_string(hosts) + " hosts" + kJoin + "since " + format_clock_time(started_ms, false);
}

std::string watch_list_name(const App& app, bool showing_recording) {
    if (showing_recording) return app.replay ? app.replay->title : std::string();
    if (app.active_watch < app.watch_tabs.size()) return app.watch_tabs[app.active_watch].name;
    return {};
}

std::string watch_outages_sub_text(const std::optional<std::int64_t>& newest_ms) {
    if (!newest_ms) return "none so far";
    return "last " + format_clock_time(*newest_ms, true);
}

}  // namespace corvane
