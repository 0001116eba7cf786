#include "ui/views/summary_strip_text.h"

#include "ui/latency_text.h"

#include <cmath>
#include <cstdio>

#include "engine/clock_text.h"
#include "main/settings.h"
#include "ui/count_text.h"
#include "ui/palette.h"

namespace corvane {

namespace {

constexpr const char* kDot = "\u00b7";
constexpr Color32 kPlain = palette::text_primary;

std::string join(const std::vector<std::string>& parts, const std::string& sep) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += sep;
        out += parts[i];
    }
    return out;
}

std::string path_line(const TraceState& state, const HopStats* dest) {
    std::vector<std::string> parts;
    if (dest && dest->name && !dest->name->empty()) parts.push_back(*dest->name);
    if (!state.hops.empty()) parts.push_back(std::to_string(state.hops.size()) + " hops");
    for (const RouteEvent& e : state.events) {
        if (e.kind != RouteEventKind::Info) continue;
        parts.push_back("path found " + format_clock_time(e.time_ms, true));
        break;
    }
    if (parts.empty()) return state.status;
    return join(parts, "  \u00b7  ");
}

std::string route_interval_label(std::uint64_t secs) {
    for (const IntervalChoice& c : route_interval_choices)
        if (c.value == secs) return c.label;
    return "?";
}

std::string route_sub(const TraceState& state, std::uint64_t route_secs) {
    if (state.status == "Playback") return "from the recording";
    if (route_secs == 0) return "route checks off";
    if (state.last_trace_ms > 0) return "checked " + format_clock_time(state.last_trace_ms, true);
    return "checks every " + route_interval_label(route_secs);
}

std::string most_added_sub(const TraceState& state, std::size_t index) {
    if (index >= state.hops.size()) return {};
    const HopStats& hop = state.hops[index];
    if (!hop.addr) return {};
    std::string text = hop.addr->to_string();
    if (hop.name && !hop.name->empty()) text += "  " + *hop.name;
    return text;
}

}  // namespace

Color32 loss_percent_color(double loss_percent) {
    if (!(loss_percent > 0.0)) return kPlain;
    return loss_percent < 2.0 ? palette::warn_amber : palette::bad_red;
}

SummaryTexts build_summary_texts(const TraceState& state, const HopVerdicts& verdicts, std::uint64_t route_secs) {
    const HopStats* dest = state.hops.empty() ? nullptr : &state.hops.back();
    const bool has_replies = dest && dest->received > 0;
    const bool has_probes = dest && dest->sent > 0;
    const FontId mono30{FontFamily::MonoMedium, 30.0f};
    const FontId mono20{FontFamily::MonoMedium, 20.0f};
    const FontId medium20{FontFamily::Medium, 20.0f};

    SummaryTexts t;
    t.target = state.target_addr ? state.target_addr->to_string() : kDot;
    t.path = path_line(state, dest);

    SummaryCard& latency = t.cards[0];
    latency = {"Latency", kDot, mono30, palette::accent, "", "waiting for replies", std::nullopt};
    if (has_replies) {
        latency.value = format_decimals(static_cast<double>(dest->rtt_sum) / dest->received, 0);
        latency.unit = "ms";
        latency.sub = "last " + std::to_string(dest->last) + " \u00b7 best " + std::to_string(dest->best);
    }

    SummaryCard& loss = t.cards[1];
    loss = {"Packet loss", kDot, mono30, kPlain, "", "no data yet", std::nullopt};
    if (has_probes) {
        // A counter pair caught mid-update could read received > sent; that
        // is no loss, not four billion lost probes.
        const std::uint32_t lost = dest->received < dest->sent ? dest->sent - dest->received : 0;
        const double percent = static_cast<double>(lost) * 100.0 / dest->sent;
        loss.value = format_decimals(percent, 1);
        loss.value_color = loss_percent_color(percent);
        loss.unit = "%";
        loss.sub = std::to_string(lost) + " of " + std::to_string(dest->sent) + " lost";
    }

    SummaryCard& jitter = t.cards[2];
    jitter = {"Jitter", kDot, mono30, kPlain, "", "no data yet", std::nullopt};
    if (has_replies) {
        jitter.value = format_decimals(dest->jitter, 1);
        jitter.unit = "ms";
        jitter.sub = "worst " + std::to_string(dest->worst) + " ms";
    }

    std::size_t changes = 0;
    for (const RouteEvent& e : state.events) changes += e.kind == RouteEventKind::RouteChange ? 1 : 0;
    SummaryCard& route = t.cards[3];
    route = {"Route", "Stable", medium20, kPlain, "", route_sub(state, route_secs), std::nullopt};
    if (changes > 0) {
        route.value = count_text(changes, "change");
        route.value_color = palette::warn_amber;
    }

    SummaryCard& added = t.cards[4];
    added = {"Most added latency", "None", medium20, kPlain, "", "no hop adds more than 2 ms", std::nullopt};
    if (verdicts.most_added) {
        const std::size_t i = *verdicts.most_added;
        added.value = "Hop " + std::to_string(i + 1);
        added.value_font = mono20;
        added.sub = most_added_sub(state, i);
        const double ms = i < verdicts.added_latency.size() ? verdicts.added_latency[i].value_or(0.0) : 0.0;
        added.note = StatNote{"+" + format_decimals(ms, 0) + " ms", palette::accent};
    }
    return t;
}

}  // namespace corvane
