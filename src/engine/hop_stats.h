#pragma once
// The statistics of one hop of a route, or of one watched host.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "engine/sample_ring.h"
#include "platform/ipv4.h"

namespace corvane {

inline constexpr std::size_t kSampleCap = 3600;

// A sample is a round trip in milliseconds, or NaN for a lost probe; a float
// rather than an optional keeps the rings compact.
using Sample = float;
inline constexpr Sample kLostSample = std::numeric_limits<float>::quiet_NaN();
inline bool sample_lost(Sample s) { return std::isnan(s); }
inline std::optional<float> sample_value(Sample s) {
    return sample_lost(s) ? std::nullopt : std::optional<float>(s);
}

// A field added here must also be copied by refresh_trace_copy, which fails
// to compile until it is.
struct HopStats {
    SampleRing<Sample, kSampleCap> samples;
    SampleRing<std::int64_t, kSampleCap> sample_times;  // same length as samples
    std::optional<std::string> name;   // reverse lookup: none = not yet, "" = no name
    std::optional<std::string> host;   // watch only: host text from the list
    std::optional<std::string> label;  // watch only
    std::optional<std::string> error;  // watch only: "Name does not resolve"
    std::uint64_t rtt_sum = 0;
    double jitter = 0.0;
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
    std::uint32_t last = 0;
    std::uint32_t best = 0;
    std::uint32_t worst = 0;
    std::optional<Ipv4Addr> addr;

    bool operator==(const HopStats&) const = default;
};

}  // namespace corvane
