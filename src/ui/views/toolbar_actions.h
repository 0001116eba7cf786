#pragma once
// What the toolbar's controls do to the App, and its texts, apart from any
// drawing.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "main/app.h"
#include "main/settings.h"

namespace corvane {

// The label of the row whose value equals `value`, or "?" when none does.
const char* interval_label(std::span<const IntervalChoice> table, std::uint64_t value);

// Which shared interval a drop-down edits.
enum class IntervalKind : std::uint8_t { Probe, Route };
std::uint64_t shared_interval(const SharedSettings& shared, IntervalKind kind);
// Stores a choice so running sessions pick it up at their next wait.
void store_shared_interval(SharedSettings& shared, IntervalKind kind, std::uint64_t value);

// Whether the active watch list is running; nothing when no list is open.
std::optional<bool> active_watch_running(const App& app);

// The Start/Stop button of each view: stops a running session, else starts.
void toggle_active_trace(App& app);
void toggle_active_watch(App& app);

// After the recent-targets menu: "Clear list" empties the list; a chosen
// target replaces the active tab's and starts it.
void apply_recent_targets_menu(App& app, const std::optional<std::string>& chosen, bool clear);

// The clock switch: the App's setting and the process-wide copy the clock
// texts read.
void choose_clock_utc(App& app, bool utc);

const char* sound_button_tooltip(bool sound_on);

}  // namespace corvane
