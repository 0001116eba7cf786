#include "ui/latency_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace corvane {
namespace {

TEST(FormatAddedLatency, RoundsHalvesToEvenAndFloorsSmallValues) {
    struct Case {
        std::optional<double> in;
        const char* want;
    } cases[] = {
        {std::nullopt, "\u00b7"},
        {0.0, "0 ms"},
        {0.49, "0 ms"},
        {-3.0, "0 ms"},
        {0.5, "+0 ms"},
        {1.5, "+2 ms"},
        {2.5, "+2 ms"},
        {3.5, "+4 ms"},
        {12.4, "+12 ms"},
        {12.6, "+13 ms"},
        {1234.0, "+1234 ms"},
        {std::numeric_limits<double>::quiet_NaN(), "0 ms"},
    };
    for (const Case& c : cases) EXPECT_EQ(format_added_latency(c.in), c.want) << (c.in ? *c.in : -1);
}

}  // namespace
}  // namespace corvane
