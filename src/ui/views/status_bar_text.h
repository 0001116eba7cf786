#pragma once
// The status bar's texts and colours, worked out without any drawing.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/monitor_state.h"
#include "main/app_update.h"
#include "main/color.h"
#include "main/hop_verdicts.h"
#include "main/settings.h"

namespace corvane {

inline constexpr const char* kVersionText = "v1.1.1";
inline constexpr const char* kPrivilegeNote = "ICMP, no admin needed";
inline constexpr const char* kMutedHopsNote = "Muted hops: slow to answer, traffic not delayed";
inline constexpr const char* kRateLimitedNote = "Rate limited, not real loss";

// The wall clock as this frame read it: the frame's own time unless a
// recording has taken that over.
std::int64_t frame_wall_clock_ms(const FrameView& view);

// Green while monitoring or watching, grey when stopped, red for a failure
// ("Could not…", "No hops…"), amber for everything on the way.
Color32 status_dot_color(std::string_view status);

// Whether the elapsed time follows the status text.
bool status_shows_elapsed(std::string_view status, ViewMode view, bool active_trace_running);

// "HH:MM:SS" of now − started, whole seconds, hours not wrapped; 00:00:00 when
// started lies ahead.
std::string format_elapsed(std::int64_t now_ms, std::int64_t started_ms);

// "{} probes per hop", the probes sent to the last hop (0 without hops).
std::string probes_per_hop_text(const TraceState& displayed);
// "Interval {}" and "Route check {}" with the labels of the choice tables.
std::string interval_text(std::uint64_t probe_ms);
std::string route_check_text(std::uint64_t route_secs);
// "No route changes" / "{} route change{s}".
std::string route_changes_text(const TraceState& displayed);
// "{} hosts".
std::string hosts_text(const TraceState& displayed);
// "No outages" / "{} outage{s}".
std::string outages_text(const TraceState& displayed);

bool any_hop_is(const HopVerdicts& verdicts, HopClass c);

}  // namespace corvane
