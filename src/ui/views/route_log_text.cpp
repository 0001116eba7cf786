#include "ui/views/route_log_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "ui/count_text.h"
#include "ui/latency_text.h"
#include "ui/palette.h"
#include "ui/views/summary_strip_text.h"

namespace corvane {

namespace {

constexpr const char* kDot = "\u00b7";

const HopStats* last_hop(const TraceState& state) { return state.hops.empty() ? nullptr : &state.hops.back(); }

// Lost probes, never negative even if the counters were caught mid-update.
std::uint32_t lost_probes(const HopStats& h) { return h.received < h.sent ? h.sent - h.received : 0; }

}  // namespace

DestinationCardTexts destination_card_texts(const TraceState& state) {
    const HopStats* hop = last_hop(state);
    DestinationCardTexts t{kDot, false, {}};
    std::vector<std::string> parts;
    if (state.target_addr) parts.push_back(state.target_addr->to_string());
    if (hop && hop->name && !hop->name->empty()) parts.push_back(*hop->name);
    if (hop && hop->received > 0) {
        t.value = format_decimals(static_cast<double>(hop->rtt_sum) / hop->received, 0);
        t.show_ms = true;
        parts.push_back(std::to_string(hop->best) + " / " + std::to_string(hop->worst) + " ms");
    }
    for (std::size_t i = 0; i < parts.size(); ++i) t.detail += (i ? "    " : "") + parts[i];
    return t;
}

DeliveredTileTexts delivered_tile_texts(const TraceState& state) {
    const HopStats* hop = last_hop(state);
    if (!hop || hop->sent == 0) return {kDot, "no data yet", 0.0f};
    const double delivered = std::clamp(static_cast<double>(hop->received) / hop->sent, 0.0, 1.0);
    return {format_decimals(100.0 * delivered, 1) + "%",
            std::to_string(lost_probes(*hop)) + " of " + std::to_string(hop->sent) + " lost",
            static_cast<float>(delivered)};
}

JitterTileTexts jitter_tile_texts(const TraceState& state) {
    const HopStats* hop = last_hop(state);
    if (!hop || hop->received == 0) return {kDot, "no data yet", 0.0f};
    const double j = std::isfinite(hop->jitter) ? hop->jitter : 0.0;
    const char* verdict = j < 5.0 ? "low, good for voice" : (j < 15.0 ? "moderate" : "high, voice will suffer");
    return {format_decimals(j, 1), verdict, static_cast<float>(std::clamp(j / 30.0, 0.02, 1.0))};
}

std::string route_log_summary(const TraceState& state) {
    if (state.hops.empty()) return {};
    const auto c = static_cast<std::size_t>(std::count_if(state.events.begin(), state.events.end(), [](const RouteEvent& e) {
        return e.kind == RouteEventKind::RouteChange;
    }));
    const std::string hops = std::to_string(state.hops.size()) + " hops, ";
    if (c == 0) return hops + "stable";
    return hops + count_text(c, "change");
}

Color32 route_event_color(RouteEventKind kind) {
    switch (kind) {
    case RouteEventKind::Info: return palette::accent;
    case RouteEventKind::RouteChange: return palette::warn_amber;
    case RouteEventKind::HostDown: return palette::bad_red;
    case RouteEventKind::HostUp: return palette::ok_green;
    }
    return palette::accent;
}

std::vector<RouteLogEntry> route_log_entries(const TraceState& state, std::uint64_t route_secs) {
    std::vector<RouteLogEntry> out;
    out.reserve(state.events.size() + 1);
    const std::int64_t checked = state.last_trace_ms;
    if (route_secs != 0 && checked > 0) {
        const RouteEvent* newest_change = nullptr;
        for (auto it = state.events.rbegin(); it != state.events.rend() && !newest_change; ++it)
            if (it->kind == RouteEventKind::RouteChange) newest_change = &*it;
        // Written as a comparison against checked - 1000 (checked > 0, so no
        // overflow) rather than a difference of two arbitrary stamps.
        const bool quiet = newest_change ? newest_change->time_ms < checked - 1000 : checked > 1000;
        if (quiet) out.push_back({"Route check, no change", checked, kNoChangeColor, nullptr});
    }
    for (auto it = state.events.rbegin(); it != state.events.rend(); ++it)
        out.push_back({it->text, it->time_ms, route_event_color(it->kind), it->detail ? &*it->detail : nullptr});
    return out;
}

std::vector<RouteLogComparisonLine> route_log_comparison_lines(std::string_view detail) {
    std::vector<RouteLogComparisonLine> out;
    std::size_t start = 0;
    for (std::size_t k = 0;; ++k) {
        const std::size_t nl = detail.find('\n', start);
        const std::string_view piece = detail.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        std::string_view text = piece;
        while (!text.empty() && text.back() == '<') text.remove_suffix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                                 text.back() == '\v' || text.back() == '\f'))
            text.remove_suffix(1);
        Color32 colour = rgb(200, 200, 200);
        const bool changed = k > 0 && !piece.empty() && piece.back() == '<';
        if (k == 0)
            colour = palette::text_faint;
        else if (changed)
            colour = palette::accent_bright;
        out.push_back({std::string(text), colour, changed});
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return out;
}

namespace {

// One line of a fitted table: row `row` of the table, or `hidden` rows (from
// `row` on) that gave way.
struct FitLine {
    std::size_t row = 0;
    std::size_t hidden = 0;
};

// For each row (the table's lines after its header), the rows to the
// nearest changed one.
std::vector<std::size_t> rows_to_change(const std::vector<RouteLogComparisonLine>& lines) {
    const std::size_t n = lines.size() - 1;
    std::vector<std::size_t> to_change(n, SIZE_MAX);
    const auto step = [](std::size_t since) { return since == SIZE_MAX ? since : since + 1; };
    std::size_t since = SIZE_MAX;
    for (std::size_t i = 0; i < n; ++i) to_change[i] = since = lines[i + 1].changed ? 0 : step(since);
    since = SIZE_MAX;
    for (std::size_t i = n; i-- > 0;) to_change[i] = std::min(to_change[i], since = lines[i + 1].changed ? 0 : step(since));
    return to_change;
}

// The rows that are changed or within `reach` rows of a changed one, every
// run of the others as one line.
std::vector<FitLine> rows_near_changes(const std::vector<std::size_t>& to_change, std::size_t reach) {
    std::vector<FitLine> out;
    for (std::size_t i = 0; i < to_change.size(); ++i) {
        if (to_change[i] <= reach)
            out.push_back({i + 1, 0});
        else if (!out.empty() && out.back().hidden > 0)
            ++out.back().hidden;
        else
            out.push_back({i + 1, 1});
    }
    return out;
}

std::size_t rows_in(const FitLine& l) { return l.hidden > 0 ? l.hidden : 1; }

}  // namespace

std::vector<RouteLogComparisonLine> fit_route_comparison(const std::vector<RouteLogComparisonLine>& lines,
                                                         std::size_t max_lines) {
    if (lines.size() <= max_lines || lines.size() < 2) return lines;
    const std::size_t room = max_lines > 1 ? max_lines - 1 : 0;  // below the header
    // The widest reach around the changes that still fits.
    const std::vector<std::size_t> to_change = rows_to_change(lines);
    std::vector<FitLine> fitted;
    for (std::size_t reach = lines.size(); reach-- > 0;) {
        fitted = rows_near_changes(to_change, reach);
        if (fitted.size() <= room) break;
    }
    std::optional<std::size_t> more;  // rows past the last line that fits
    if (fitted.size() > room) {
        const std::size_t keep = room > 0 ? room - 1 : 0;
        more = 0;
        for (std::size_t i = keep; i < fitted.size(); ++i) *more += rows_in(fitted[i]);
        fitted.resize(keep);
    }
    std::vector<RouteLogComparisonLine> out{lines.front()};
    for (const FitLine& l : fitted)
        out.push_back(l.hidden > 0 ? RouteLogComparisonLine{"\u2026 " + count_text(l.hidden, "unchanged hop"),
                                                            palette::text_faint}
                                   : lines[l.row]);
    if (more) out.push_back({"\u2026 " + count_text(*more, "more hop"), palette::text_faint});
    return out;
}

}  // namespace corvane
