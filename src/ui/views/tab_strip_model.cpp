#include "ui/views/tab_strip_model.h"

#include <algorithm>

#include "engine/host_status.h"
#include "engine/trace_tab.h"
#include "main/app.h"
#include "ui/views/list_library_text.h"
#include "ui/palette.h"

namespace corvane {

namespace {

// Loss over the whole session in percent; a hop with nothing sent has none.
double session_loss_percent(const HopStats& hop) {
    if (hop.sent == 0) return 0.0;
    return (static_cast<double>(hop.sent) - static_cast<double>(hop.received)) * 100.0 /
           static_cast<double>(hop.sent);
}

bool has_route_change(const TraceState& state) {
    return std::any_of(state.events.begin(), state.events.end(),
                       [](const RouteEvent& e) { return e.kind == RouteEventKind::RouteChange; });
}

}  // namespace

TabLook trace_tab_look(const TraceState& state, std::string_view target, bool stopped) {
    TabLook look;
    look.title = trim_white_space(target);
    if (look.title.empty()) look.title = "New trace";

    const HopStats* last = nullptr;
    if (!state.hops.empty() && state.hops.back().received > 0) last = &state.hops.back();
    if (last) look.subtitle = std::to_string(last->last) + " ms";

    if (stopped)
        look.dot = palette::waiting_grey;
    else if (last && session_loss_percent(*last) >= kTabLossRedPercent)
        look.dot = palette::bad_red;
    else if (!last || has_route_change(state))
        look.dot = palette::warn_amber;
    else
        look.dot = palette::ok_green;
    return look;
}

TabLook watch_tab_look(const TraceState& state, std::string_view list_name, bool stopped) {
    std::size_t up = 0, degraded = 0, down = 0;
    for (const HopStats& host : state.hops) {
        switch (watch_host_status_kind(host)) {
        case HostStatusKind::Up: ++up; break;
        case HostStatusKind::Degraded: ++degraded; break;
        case HostStatusKind::Down:
        case HostStatusKind::Error: ++down; break;
        case HostStatusKind::Waiting: break;
        }
    }
    TabLook look;
    look.title = std::string(list_name);
    if (stopped)
        look.subtitle = "stopped";
    else if (down == 0)
        look.subtitle = std::to_string(up) + "/" + std::to_string(state.hops.size()) + " up";
    else
        look.subtitle = std::to_string(down) + " down";

    if (stopped)
        look.dot = palette::waiting_grey;
    else if (down > 0)
        look.dot = palette::bad_red;
    else if (degraded > 0)
        look.dot = palette::warn_amber;
    else if (up > 0)
        look.dot = palette::ok_green;
    else
        look.dot = palette::waiting_grey;
    return look;
}

float tab_width(float title_width, std::optional<float> subtitle_width, float max_width) {
    float w = title_width + 26.0f + 34.0f;
    if (subtitle_width) w += *subtitle_width + 10.0f;
    return std::min(w, max_width);
}

std::vector<std::string> open_list_candidates(const std::vector<std::string>& saved,
                                              const std::vector<WatchTab>& open_tabs) {
    std::vector<std::string> out;
    for (const std::string& name : saved)
        if (!find_watch_tab(open_tabs, name)) out.push_back(name);
    return out;
}

std::optional<std::string_view> open_list_menu_note(std::size_t saved_count, std::size_t candidate_count) {
    if (saved_count == 0) return "None yet";
    if (candidate_count == 0) return "All saved lists are open";
    return std::nullopt;
}

std::string open_list_entry_text(std::string_view name, const ListSummary& summary) {
    std::string s(name);
    s += "   \u00B7   ";
    s += list_count_text(summary);
    return s;
}

float open_list_menu_min_width(float button_width) {
    return std::max(button_width - 2.0f * kPopupMargin, 240.0f);
}

float open_list_popup_left(float button_left, float popup_width, float screen_width) {
    return std::max(0.0f, std::min(button_left, screen_width - popup_width));
}

}  // namespace corvane
