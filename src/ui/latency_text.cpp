#include "ui/latency_text.h"

#include <cmath>
#include <cstdio>

namespace corvane {

std::string format_decimals(double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

std::string format_added_latency(std::optional<double> added_ms) {
    if (!added_ms) return "\u00b7";
    if (!(*added_ms >= 0.5)) return "0 ms";
    // printf rounds the exact binary value, ties to even, which is the
    // rounding the texts were specified with; lround would give "+1 ms" for 0.5.
    char buf[64];
    std::snprintf(buf, sizeof buf, "+%.0f ms", *added_ms);
    return buf;
}

}  // namespace corvane
