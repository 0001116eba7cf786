#pragma once
// The hop tables' header labels and the tooltips that explain them.
#include <string_view>

namespace corvane::hop_table_text {

inline constexpr std::string_view kHopTip =
    "Position along the path. Hop 1 is your own router, the last hop is the target. Click a row to chart it.";
inline constexpr std::string_view kRouterTip =
    "The router that answered at this hop, with its DNS name when it has one. "
    "\"No response\""
    " means the router does not answer ICMP but still forwards your traffic.";
inline constexpr std::string_view kAddedTip =
    "How much latency this hop adds on top of the hop before it, counting only the part that is still there at "
    "every later hop.\n\nRouters answer probes from their CPU, which is slower and lower priority than forwarding "
    "your traffic. So a hop that answers slowly while later hops are faster is not delaying anything, and adds 0 ms "
    "here.\n\nThe biggest real jump is shown in orange. That is the link where most of your delay comes from. Rate "
    "limited and slow answering routers are shown muted and never counted.";
inline constexpr std::string_view kLossTip =
    "Percent of probes to this hop that got no reply.\n\nRouters answer probes from their CPU and often limit how "
    "many replies they send, while still forwarding your traffic at full speed. So loss that does not carry on to "
    "later hops is rate limiting, not real loss. Only loss that reaches the last hop affects your traffic.";
inline constexpr std::string_view kLastTip = "Round trip time of the most recent probe, in milliseconds.";
inline constexpr std::string_view kAvgTip = "Average round trip time since monitoring started, in milliseconds.";
inline constexpr std::string_view kBestTip = "Fastest round trip seen since monitoring started.";
inline constexpr std::string_view kWorstTip = "Slowest round trip seen since monitoring started.";
inline constexpr std::string_view kJitterTip =
    "How much latency changes from one probe to the next, in milliseconds (a smoothed average of the difference "
    "between back to back probes).\n\nUnder 5 ms is good for voice and video calls. Over 15 ms causes choppy audio.";
inline constexpr std::string_view kStripTip =
    "Each cell is 10 seconds, oldest on the left.\n\nGray: normal. Brighter gray means slower within this hop's "
    "normal range.\nYellow: latency spike, over 1.5 times this hop's average and at least 6 ms above it.\nRed: "
    "probes lost.\nBlue gray: no reply from a rate limited router, not real loss.\n\nThe selected hop is shown in "
    "orange.\n\nRead it by column: a yellow or red column that starts at one hop and continues down to the last hop "
    "points at where the problem begins. Yellow or red on one hop only is that router's CPU answering slowly, not a "
    "problem for your traffic.";
inline constexpr std::string_view kRangeTip =
    "The bar spans this hop's best to worst round trip. The tick marks the average. A long bar means unsteady "
    "latency.";

}  // namespace corvane::hop_table_text
