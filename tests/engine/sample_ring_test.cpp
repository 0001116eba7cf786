#include "engine/sample_ring.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace corvane {
namespace {

template <typename Ring>
std::vector<int> contents(const Ring& ring) {
    std::vector<int> out;
    ring.for_each([&](int v) { out.push_back(v); });
    // Indexing and for_each must agree on the order.
    for (std::size_t i = 0; i < ring.size(); ++i) EXPECT_EQ(ring[i], out[i]) << "index " << i;
    return out;
}

TEST(SampleRing, KeepsTheNewestEntriesInOrder) {
    struct Case {
        const char* name;
        std::vector<int> ops;  // >= 0 pushes the value, -1 clears
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"below the cap", {1, 2, 3}, {1, 2, 3}},
        {"exactly full", {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"over the cap drops the oldest", {1, 2, 3, 4, 5, 6}, {3, 4, 5, 6}},
        {"wraps more than once", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {7, 8, 9, 10}},
        {"clear when wrapped, then refill", {1, 2, 3, 4, 5, 6, -1, 7, 8}, {7, 8}},
        {"clear, then overflow again", {1, 2, 3, 4, 5, -1, 6, 7, 8, 9, 10}, {7, 8, 9, 10}},
        {"clear on empty is harmless", {-1, 1, -1, -1, 2}, {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SampleRing<int, 4> ring;
        for (int op : c.ops) {
            if (op < 0) {
                ring.clear();
            } else {
                ring.push_back(op);
            }
        }
        EXPECT_EQ(contents(ring), c.expected);
        EXPECT_EQ(ring.size(), c.expected.size());
        if (!c.expected.empty()) {
            EXPECT_EQ(ring.front(), c.expected.front());
            EXPECT_EQ(ring.back(), c.expected.back());
        }
    }
}

// The marks are what a copy trusts to append rather than copy: an append
// keeps the origin and counts one; a clear, a copy or a move's emptied
// source never shows an origin seen before; a move hands the mark over.
TEST(SampleRing, MatchesADequeAndMarksEveryChangeUnderRandomOperations) {
    std::mt19937 rng(12345);
    SampleRing<int, 7> ring;
    std::deque<int> model;
    std::vector<std::uint64_t> origins{ring.mark().origin};
    const auto new_origin = [&](const SampleRing<int, 7>& r) {
        for (std::uint64_t o : origins) {
            if (r.mark().origin == o) return false;
        }
        origins.push_back(r.mark().origin);
        return true;
    };
    for (int step = 0; step < 20000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const AppendMark before = ring.mark();
        const unsigned r = rng() % 40;
        if (r == 0) {
            ring.clear();
            model.clear();
            ASSERT_TRUE(new_origin(ring));
            ASSERT_EQ(ring.mark().appended, 0u);
        } else if (r == 1) {
            SampleRing<int, 7> copy = ring;
            ASSERT_TRUE(new_origin(copy));
            ASSERT_EQ(ring.mark(), before);
            ASSERT_TRUE(copy == ring);
        } else if (r == 2) {
            SampleRing<int, 7> moved = std::move(ring);
            ASSERT_EQ(moved.mark(), before);
            ASSERT_TRUE(ring.empty());
            ASSERT_TRUE(new_origin(ring));
            ring = std::move(moved);
            ASSERT_EQ(ring.mark(), before);
            ASSERT_TRUE(new_origin(moved));
        } else {
            ring.push_back(step);
            model.push_back(step);
            if (model.size() > 7) model.pop_front();
            ASSERT_EQ(ring.mark(), (AppendMark{before.origin, before.appended + 1}));
        }
        ASSERT_EQ(ring.size(), model.size());
        for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(ring[i], model[i]);
    }
}

}  // namespace
}  // namespace corvane
