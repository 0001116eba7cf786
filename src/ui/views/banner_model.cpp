#include "ui/views/banner_model.h"

#include <algorithm>

#include "ui/palette.h"

namespace corvane {

namespace {

// Trace tabs raise only route changes; everything else came from a watch list.
bool is_route_change(const AlertEntry& a) { return a.kind == RouteEventKind::RouteChange; }

// The last valid index of `count` items, 0 when there are none.
std::size_t clamp_index(std::size_t index, std::size_t count) {
    return count == 0 ? 0 : std::min(index, count - 1);
}

}  // namespace

AlertTitle alert_title(RouteEventKind kind) {
    switch (kind) {
    case RouteEventKind::HostUp: return {"Host back up", palette::ok_green};
    case RouteEventKind::HostDown: return {"Host down", palette::bad_red};
    default: return {"Route changed", palette::accent_bright};
    }
}

std::string shorten_alert_message(std::string_view message) {
    // Positions where a character starts: anything but a UTF-8 continuation byte.
    std::size_t chars = 0;
    std::size_t cut = message.size();
    for (std::size_t i = 0; i < message.size(); ++i) {
        if ((static_cast<unsigned char>(message[i]) & 0xC0) == 0x80) continue;
        if (chars == kAlertMessageKeptChars) cut = i;
        ++chars;
    }
    if (chars <= kAlertMessageMaxChars) return std::string(message);
    std::string out(message.substr(0, cut));
    out += "\u2026";
    return out;
}

std::optional<std::string> more_alerts_text(std::size_t alert_count) {
    if (alert_count <= 1) return std::nullopt;
    return "+" + std::to_string(alert_count - 1) + " more";
}

std::string_view show_button_label(const AlertEntry& alert) {
    return is_route_change(alert) ? "Show route log" : "Show watch list";
}

bool show_button_visible(const App& app, const AlertEntry& alert) {
    if (is_route_change(alert))
        return !(app.view_mode == ViewMode::Trace && app.layout_mode == LayoutMode::Signal &&
                 app.active_trace == alert.source);
    return !(app.view_mode == ViewMode::Watch && app.active_watch == alert.source);
}

void show_alert_source(App& app, const AlertEntry& alert) {
    if (is_route_change(alert)) {
        app.view_mode = ViewMode::Trace;
        app.layout_mode = LayoutMode::Signal;
        app.active_trace = clamp_index(alert.source, app.trace_tabs.size());
    } else {
        app.view_mode = ViewMode::Watch;
        app.active_watch = clamp_index(alert.source, app.watch_tabs.size());
    }
}

}  // namespace corvane
