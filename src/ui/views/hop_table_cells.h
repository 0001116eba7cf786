#pragma once
// What each cell of a hop row says and in which colour and font: the value
// columns, the router cell's texts and notes, and the look of the hop node.
#include <cstddef>
#include <optional>
#include <string>

#include "engine/monitor_state.h"
#include "main/hop_verdicts.h"
#include "ui/color.h"
#include "ui/fonts.h"

namespace corvane {

namespace hop_colors {
inline constexpr Color32 dim = rgb(85, 85, 85);
inline constexpr Color32 muted = rgb(122, 134, 153);
inline constexpr Color32 value = rgb(232, 232, 232);
inline constexpr Color32 warn = rgb(245, 197, 66);
inline constexpr Color32 bad = rgb(255, 59, 59);
inline constexpr Color32 accent = rgb(255, 90, 15);
inline constexpr Color32 jitter = rgb(138, 138, 138);
inline constexpr Color32 added = rgb(176, 176, 176);
}  // namespace hop_colors

struct CellText {
    std::string text;
    Color32 color;
    FontId font;
};

// The verdicts of hop i, tolerating verdicts shorter than the hop list.
HopClass hop_class_at(const HopVerdicts& v, std::size_t i);
std::optional<double> added_latency_at(const HopVerdicts& v, std::size_t i);

double hop_average_ms(const HopStats& hop);  // 0 without replies
double hop_loss_percent(const HopStats& hop);  // 0 when nothing was sent

CellText added_latency_cell(const HopVerdicts& v, std::size_t i);
CellText loss_cell(const HopStats& hop, HopClass cls);
// A round-trip figure (Last, Avg, Best, Worst); "·" for a hop without replies.
CellText round_trip_cell(double ms, const HopStats& hop);
CellText jitter_cell(const HopStats& hop);

// The router cell's first text: the address, or "No response" for a hop that
// has none or that is known not to answer ICMP and never did.
bool router_no_response(const HopStats& hop, HopClass cls);
std::string router_first_text(const HopStats& hop, HopClass cls);
// The non-empty reverse name, if any.
std::optional<std::string> router_name(const HopStats& hop);
// The note of a classified hop: the wide table's full sentence or the
// compact table's short one; empty for an unclassified hop.
std::string hop_class_note(HopClass cls, bool compact);

// The hop number's node on the path line.
struct HopNodeStyle {
    Color32 fill;
    std::optional<Color32> outline;
    bool dashed = false;  // a ring of 12 dashes instead of an outline
    Color32 number;
    FontId number_font;
};
HopNodeStyle hop_node_style(std::size_t index, std::size_t count, std::uint32_t received);

}  // namespace corvane
