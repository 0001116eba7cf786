#pragma once
// Every text, font and colour of the Instrument layout's summary strip, built
// from one frame's snapshot. Pure: no drawing, nothing kept.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/monitor_state.h"
#include "main/hop_verdicts.h"
#include "ui/fonts.h"
#include "ui/widgets.h"

namespace corvane {

struct SummaryCard {
    std::string title;
    std::string value;
    FontId value_font;
    Color32 value_color;
    std::string unit;  // empty: none shown
    std::string sub;
    std::optional<StatNote> note;
};

struct SummaryTexts {
    std::string target;  // dotted address, or "·" before it resolves
    std::string path;    // name, hop count and path time, or the status alone
    std::array<SummaryCard, 5> cards;
};

// `route_secs` is the route-check interval the frame passes (0 = checks off,
// and always 0 while a recording is loaded).
SummaryTexts build_summary_texts(const TraceState& state, const HopVerdicts& verdicts, std::uint64_t route_secs);

// Colour of a loss percentage: white at 0, amber below 2, red from 2 up.
Color32 loss_percent_color(double loss_percent);


}  // namespace corvane
