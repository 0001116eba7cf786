#pragma once
// The watch view's fixed texts: header tooltips and button labels.

namespace corvane::watch_text {

inline constexpr const char* kHostTip =
    "The router that answered at this hop, with its DNS name when it has one. \"No response\" means the router "
    "does not answer ICMP but still forwards your traffic.";
inline constexpr const char* kLastTip = "Round trip time of the most recent ping, in milliseconds.";
inline constexpr const char* kAvgTip = "Average round trip time since monitoring started, in milliseconds.";
inline constexpr const char* kLossTip = "Percent of pings to this host that got no reply.";
inline constexpr const char* kJitterTip =
    "How much latency changes from one probe to the next, in milliseconds (a smoothed average of the difference "
    "between back to back probes).\n\nUnder 5 ms is good for voice and video calls. Over 15 ms causes choppy audio.";
inline constexpr const char* kStatusTip =
    "Up: answering normally.\nDegraded: some loss in the last minute, or much slower than usual.\nDown: 3 or more "
    "pings in a row lost.";
inline constexpr const char* kStripTip =
    "Each cell is 10 seconds, oldest on the left.\n\nGray: normal. Brighter gray means slower within this hop's "
    "normal range.\nYellow: latency spike, over 1.5 times this hop's average and at least 6 ms above it.\nRed: "
    "probes lost.\nBlue gray: no reply from a rate limited router, not real loss.\n\nThe selected hop is shown in "
    "orange.\n\nRead it by column: a yellow or red column that starts at one hop and continues down to the last hop "
    "points at where the problem begins. Yellow or red on one hop only is that router's CPU answering slowly, not "
    "a problem for your traffic.";

inline constexpr const char* kEmptyList = "Press Start to watch this list.";
inline constexpr const char* kEditTip = "Edit the hosts in this list";
inline constexpr const char* kTraceTip = "Run a full trace to this host";

}  // namespace corvane::watch_text
