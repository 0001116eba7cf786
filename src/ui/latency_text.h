#pragma once
#include <optional>
#include <string>

namespace corvane {

// "·" when absent, "+{:.0} ms" from 0.5 up (exact halves round to even, so
// 0.5 is "+0 ms"), otherwise "0 ms".
std::string format_added_latency(std::optional<double> added_ms);

}  // namespace corvane
