#pragma once
// Numbers and latencies as the views write them.
#include <optional>
#include <string>

namespace corvane {

// A number with `decimals` places, as the "{:.0}" and "{:.1}" texts show it:
// exact halves round to even; NaN and infinities, which only a damaged
// recording could bring, read as 0.
std::string format_decimals(double value, int decimals);

// "·" when absent, "+{:.0} ms" from 0.5 up (exact halves round to even, so
// 0.5 is "+0 ms"), otherwise "0 ms".
std::string format_added_latency(std::optional<double> added_ms);

}  // namespace corvane
