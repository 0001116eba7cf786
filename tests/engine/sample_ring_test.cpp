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
        std::vector<int> ops;  // >= 0 pushes the value, -1 pops the front
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"below the cap", {1, 2, 3}, {1, 2, 3}},
        {"exactly full", {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"over the cap drops the oldest", {1, 2, 3, 4, 5, 6}, {3, 4, 5, 6}},
        {"pop when full then push wraps", {1, 2, 3, 4, -1, 5}, {2, 3, 4, 5}},
        {"pop, push, then overflow again", {1, 2, 3, 4, -1, 5, 6}, {3, 4, 5, 6}},
        {"pop before the block fills", {1, 2, 3, -1, -1, 4, 5, 6}, {3, 4, 5, 6}},
        {"pop before filling then overflow", {1, 2, 3, -1, -1, 4, 5, 6, 7}, {4, 5, 6, 7}},
        {"pop to empty then reuse", {1, 2, -1, -1, 7, 8}, {7, 8}},
        {"pop on empty is harmless", {-1, 1, -1, -1, 2}, {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SampleRing<int, 4> ring;
        for (int op : c.ops) {
            if (op < 0) {
                ring.pop_front();
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

TEST(SampleRing, MatchesADequeUnderRandomPushesAndPops) {
    std::mt19937 rng(12345);
    SampleRing<int, 7> ring;
    std::deque<int> model;
    for (int step = 0; step < 20000; ++step) {
        const unsigned r = rng() % 10;
        if (r < 3) {
            ring.pop_front();
            if (!model.empty()) model.pop_front();
        } else if (r == 3 && step % 50 == 0) {
            ring.clear();
            model.clear();
        } else {
            ring.push_back(step);
            model.push_back(step);
            if (model.size() > 7) model.pop_front();
        }
        ASSERT_EQ(ring.size(), model.size()) << "step " << step;
        for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(ring[i], model[i]) << "step " << step;
    }
}

}  // namespace
}  // namespace corvane
