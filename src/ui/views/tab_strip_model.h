#pragma once
// What each tab of the two strips says and how wide it is, worked out without
// any drawing so the rules can be checked on their own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/monitor_state.h"
#include "engine/watch_tab.h"
#include "main/color.h"
#include "main/list_summary.h"

namespace corvane {

// Title, optional live subtitle and status-dot colour of one tab.
struct TabLook {
    std::string title;
    std::optional<std::string> subtitle;
    Color32 dot;
};

inline constexpr float kTraceTabMaxWidth = 300.0f;
inline constexpr float kWatchTabMaxWidth = 320.0f;
inline constexpr float kTabHeight = 30.0f;
inline constexpr float kTabSpacing = 6.0f;

// A destination losing this share of its probes (in percent) or more is red.
inline constexpr double kTabLossRedPercent = 2.0;

// Reads `state`, which the caller keeps locked for the call.
TabLook trace_tab_look(const TraceState& state, std::string_view target, bool stopped);
TabLook watch_tab_look(const TraceState& state, std::string_view list_name, bool stopped);

// Title, 26 of dot room before it, the subtitle 10 after it, 34 for the close
// button; never more than `max_width`.
float tab_width(float title_width, std::optional<float> subtitle_width, float max_width);

// The saved lists the open-list menu offers: those without an open tab, in order.
std::vector<std::string> open_list_candidates(const std::vector<std::string>& saved,
                                              const std::vector<WatchTab>& open_tabs);

// The menu's line when it has no list to offer: "None yet" when nothing is
// saved, "All saved lists are open" when every saved list is open.
std::optional<std::string_view> open_list_menu_note(std::size_t saved_count, std::size_t candidate_count);

// "{name}   ·   {n} host{s}", or "{name}   ·   file too large".
std::string open_list_entry_text(std::string_view name, const ListSummary& summary);

// The menu is at least 240 wide, and at least as wide as the button above it
// less the popup frame's margins.
float open_list_menu_min_width(float button_width);
inline constexpr float kPopupMargin = 6.0f;

// The popup's left edge: the button's, moved left only as far as it takes to
// keep a popup opened near the window's right edge on screen.
float open_list_popup_left(float button_left, float popup_width, float screen_width);

}  // namespace corvane
