#include "ui/views/hop_table_cells.h"

#include <cmath>
#include <cstdio>

#include "ui/latency_text.h"

namespace corvane {

namespace {

constexpr const char* kDot = "\u00b7";

CellText placeholder(FontId font) { return {kDot, hop_colors::dim, font}; }

}  // namespace

HopClass hop_class_at(const HopVerdicts& v, std::size_t i) {
    return i < v.classes.size() ? v.classes[i] : HopClass::None;
}

std::optional<double> added_latency_at(const HopVerdicts& v, std::size_t i) {
    return i < v.added_latency.size() ? v.added_latency[i] : std::nullopt;
}

double hop_average_ms(const HopStats& hop) {
    return hop.received == 0 ? 0.0 : static_cast<double>(hop.rtt_sum) / static_cast<double>(hop.received);
}

double hop_loss_percent(const HopStats& hop) {
    if (hop.sent == 0) return 0.0;
    // In floating point: a count that ran ahead of the other must not wrap.
    return (static_cast<double>(hop.sent) - static_cast<double>(hop.received)) * 100.0 / static_cast<double>(hop.sent);
}

CellText added_latency_cell(const HopVerdicts& v, std::size_t i) {
    const std::optional<double> added = added_latency_at(v, i);
    CellText out{format_added_latency(added), hop_colors::dim, {FontFamily::Monospace, 12.5f}};
    if (hop_class_at(v, i) != HopClass::None) {
        out.color = hop_colors::muted;
    } else if (v.most_added && *v.most_added == i) {
        out.color = hop_colors::accent;
        out.font = {FontFamily::MonoMedium, 12.5f};
    } else if (added && *added >= 0.5) {
        out.color = hop_colors::added;
    }
    return out;
}

CellText loss_cell(const HopStats& hop, HopClass cls) {
    const FontId mono{FontFamily::Monospace, 13.0f};
    if (hop.sent == 0 || hop.received == 0) return placeholder(mono);
    const double loss = hop_loss_percent(hop);
    Color32 c = hop_colors::bad;
    if (cls != HopClass::None)
        c = hop_colors::muted;
    else if (loss <= 0)
        c = hop_colors::dim;
    else if (loss < 2)
        c = hop_colors::warn;
    return {format_decimals(loss, 1) + "%", c, mono};
}

CellText round_trip_cell(double ms, const HopStats& hop) {
    const FontId mono{FontFamily::Monospace, 13.0f};
    if (hop.received == 0) return placeholder(mono);
    const Color32 c = ms > 250 ? hop_colors::bad : ms > 100 ? hop_colors::warn : hop_colors::value;
    return {format_decimals(ms, 0), c, mono};
}

CellText jitter_cell(const HopStats& hop) {
    const FontId mono{FontFamily::Monospace, 13.0f};
    if (hop.received == 0) return placeholder(mono);
    return {format_decimals(hop.jitter, 1), hop_colors::jitter, mono};
}

bool router_no_response(const HopStats& hop, HopClass cls) {
    return !hop.addr || (cls == HopClass::NoIcmpReply && hop.received == 0);
}

std::string router_first_text(const HopStats& hop, HopClass cls) {
    return router_no_response(hop, cls) ? "No response" : hop.addr->to_string();
}

std::optional<std::string> router_name(const HopStats& hop) {
    if (hop.name && !hop.name->empty()) return hop.name;
    return std::nullopt;
}

std::string hop_class_note(HopClass cls, bool compact) {
    switch (cls) {
    case HopClass::RateLimited:
        return compact ? "rate limited, later hops clean" : "Rate limited, later hops are clean";
    case HopClass::NoIcmpReply:
        return compact ? "does not answer ICMP, traffic passes" : "Router does not answer ICMP, traffic passes through";
    case HopClass::SlowToAnswer:
        return compact ? "slow to answer, traffic not delayed" : "Slow to answer probes, traffic is not delayed";
    case HopClass::None: break;
    }
    return {};
}

HopNodeStyle hop_node_style(std::size_t index, std::size_t count, std::uint32_t received) {
    const FontId medium{FontFamily::MonoMedium, 11.0f};
    // The target is marked whatever its figures.
    if (count > 0 && index + 1 == count) return {rgb(228, 71, 10), std::nullopt, false, rgb(255, 255, 255), medium};
    if (received > 0) return {rgb(22, 22, 22), rgb(51, 51, 51), false, rgb(160, 160, 160), medium};
    return {rgb(22, 22, 22), std::nullopt, true, rgb(85, 85, 85), {FontFamily::Monospace, 11.0f}};
}

}  // namespace corvane
