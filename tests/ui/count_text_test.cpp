#include "ui/count_text.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(CountText, PluralUnlessOne) {
    struct Case {
        std::size_t n;
        const char* noun;
        const char* expect;
    };
    const Case cases[] = {
        {0, "host", "0 hosts"},
        {1, "host", "1 host"},
        {2, "host", "2 hosts"},
        {1, "router change", "1 router change"},
        {11, "router change", "11 router changes"},
        {1000000, "outage", "1000000 outages"},
    };
    for (const Case& c : cases) EXPECT_EQ(count_text(c.n, c.noun), c.expect) << c.n << " " << c.noun;
}

}  // namespace
}  // namespace corvane
