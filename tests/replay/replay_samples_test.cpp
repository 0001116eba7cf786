// Moving a late sample back into place in the packed sample block.
#include <gtest/gtest.h>

#include <vector>

#include "replay/replay_samples.h"

namespace corvane {
namespace {

// Samples with these times; the hop numbers them in file order.
ReplaySamples block_of(const std::vector<std::int64_t>& times) {
    ReplaySamples s;
    std::uint16_t n = 1;
    for (std::int64_t t : times) s.emplace_back(t, 0, 0, n++, 0);
    return s;
}

std::vector<std::uint16_t> hops_of(const ReplaySamples& s) {
    std::vector<std::uint16_t> out;
    for (std::size_t i = 0; i < s.size(); ++i) out.push_back(s.hop(i));
    return out;
}

TEST(ReplaySamplesSettle, MovesTheLastSampleToItsStablePlaceOrLeavesItAlone) {
    struct Case {
        const char* what;
        std::vector<std::int64_t> times;  // all but the last in order
        std::size_t max_distance;
        std::size_t moved;
        std::vector<std::uint16_t> order;  // hops afterwards
    };
    const std::size_t npos = ReplaySamples::npos;
    const Case cases[] = {
        {"one sample", {5}, 4, 0, {1}},
        {"already in place", {1, 2, 3}, 4, 0, {1, 2, 3}},
        {"equal time stays behind", {1, 3, 3, 3}, 4, 0, {1, 2, 3, 4}},
        {"one back", {1, 3, 2}, 4, 1, {1, 3, 2}},
        {"behind equals, before later", {1, 2, 2, 5, 6, 2}, 4, 2, {1, 2, 3, 6, 4, 5}},
        {"to the front", {4, 5, 6, 1}, 3, 3, {4, 1, 2, 3}},
        {"exactly the limit", {1, 5, 6, 7, 2}, 3, 3, {1, 5, 2, 3, 4}},
        {"one past the limit", {5, 6, 7, 8, 1}, 3, npos, {1, 2, 3, 4, 5}},
        {"far past the limit", {2, 3, 4, 5, 6, 7, 8, 9, -1}, 2, npos, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"negative and extreme times", {INT64_MIN, -1, INT64_MAX, 0}, 4, 1, {1, 2, 4, 3}},
    };
    for (const auto& c : cases) {
        ReplaySamples s = block_of(c.times);
        EXPECT_EQ(s.settle_last(c.max_distance), c.moved) << c.what;
        EXPECT_EQ(hops_of(s), c.order) << c.what;
        // Whatever moved kept its fields.
        for (std::size_t i = 0; i < s.size(); ++i) {
            EXPECT_EQ(s.time_ms(i), c.times[s.hop(i) - 1u]) << c.what << " at " << i;
        }
    }
}

}  // namespace
}  // namespace corvane
