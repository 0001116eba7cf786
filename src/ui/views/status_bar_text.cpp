#include "ui/views/status_bar_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "engine/clock.h"
#include "ui/count_text.h"
#include "ui/palette.h"

namespace corvane {

namespace {

template <std::size_t N>
std::string choice_label(const std::array<IntervalChoice, N>& table, std::uint64_t value, const char* unit) {
    for (const IntervalChoice& c : table)
        if (c.value == value) return c.label;
    // Settings only hold listed values; anything else still reads sensibly.
    return std::to_string(value) + unit;
}

std::size_t count_events(const TraceState& s, RouteEventKind kind) {
    return static_cast<std::size_t>(
        std::count_if(s.events.begin(), s.events.end(), [kind](const RouteEvent& e) { return e.kind == kind; }));
}

}  // namespace

std::int64_t frame_wall_clock_ms(const FrameView& view) {
    return view.playback_active ? now_unix_ms() : view.now_ms;
}

Color32 status_dot_color(std::string_view status) {
    if (status == "Monitoring" || status == "Watching") return palette::ok_green;
    if (status == "Stopped") return palette::waiting_grey;
    if (status.starts_with("Could not") || status.starts_with("No hops")) return palette::bad_red;
    return palette::warn_amber;
}

bool status_shows_elapsed(std::string_view status, ViewMode view, bool active_trace_running) {
    return status == "Monitoring" || status == "Watching" || (view == ViewMode::Trace && active_trace_running);
}

std::string format_elapsed(std::int64_t now_ms, std::int64_t started_ms) {
    // Unsigned difference: exact for any pair with now > started, never overflows.
    const std::uint64_t ms =
        now_ms > started_ms ? static_cast<std::uint64_t>(now_ms) - static_cast<std::uint64_t>(started_ms) : 0;
    const std::uint64_t secs = ms / 1000;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02llu:%02llu:%02llu", static_cast<unsigned long long>(secs / 3600),
                  static_cast<unsigned long long>(secs / 60 % 60), static_cast<unsigned long long>(secs % 60));
    return buf;
}

std::string probes_per_hop_text(const TraceState& displayed) {
    const std::uint32_t sent = displayed.hops.empty() ? 0 : displayed.hops.back().sent;
    return std::to_string(sent) + " probes per hop";
}

std::string interval_text(std::uint64_t probe_ms) {
    return "Interval " + choice_label(probe_interval_choices, probe_ms, " ms");
}

std::string route_check_text(std::uint64_t route_secs) {
    return "Route check " + choice_label(route_interval_choices, route_secs, " s");
}

std::string route_changes_text(const TraceState& displayed) {
    const std::size_t n = count_events(displayed, RouteEventKind::RouteChange);
    return n == 0 ? "No route changes" : count_text(n, "route change");
}

std::string hosts_text(const TraceState& displayed) { return std::to_string(displayed.hops.size()) + " hosts"; }

std::string outages_text(const TraceState& displayed) {
    const std::size_t n = count_events(displayed, RouteEventKind::HostDown);
    return n == 0 ? "No outages" : count_text(n, "outage");
}

bool any_hop_is(const HopVerdicts& verdicts, HopClass c) {
    return std::find(verdicts.classes.begin(), verdicts.classes.end(), c) != verdicts.classes.end();
}

}  // namespace corvane
