#include "ui/widget_layout.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(StatCard, WidthRules) {
    struct Case {
        const char* name;
        StatCardTexts t;
        float available;
        float want_content;
    } cases[] = {
        // Room to spare: exactly the widest line.
        {"title widest", {120, 40, -1, -1, 60}, 1000, 120},
        {"value line widest", {50, 40, 20, 30, 60}, 1000, 40 + 24 + 38},
        {"sub widest", {50, 40, -1, -1, 300}, 1000, 300},
        // Narrow: the space left, but at least 80 and the value line.
        {"narrowed to space", {50, 40, -1, -1, 300}, 264, 200},
        {"never below 80", {50, 40, -1, -1, 300}, 100, 80},
        {"never below the value line", {50, 150, -1, -1, 300}, 100, 150},
        {"small card keeps its size", {30, 20, -1, -1, 40}, 50, 40},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(stat_card_content_width(c.t, c.available), c.want_content) << c.name;
        EXPECT_FLOAT_EQ(stat_card_width(stat_card_content_width(c.t, c.available)), c.want_content + 64) << c.name;
    }
    EXPECT_FLOAT_EQ(stat_card_value_line_width({0, 10, 0, -1, 0}), 14);  // an empty unit still takes its gap
}

TEST(TooltipBox, OpensRightOfTheAnchorOrFlipsLeft) {
    const Vec2 text{80, 16};
    const Rect right = tooltip_box_rect(100, 50, 1000, text);
    EXPECT_EQ(right, (Rect{112, 50, 212, 78}));
    const Rect exact = tooltip_box_rect(100, 50, 212, text);  // touching the limit still fits
    EXPECT_EQ(exact.left, 112);
    const Rect flipped = tooltip_box_rect(900, 50, 1000, text);
    EXPECT_EQ(flipped, (Rect{788, 50, 888, 78}));
}

TEST(FloatingBox, OpensBelowItsWidgetAndFlipsWhereTheWindowEnds) {
    const Vec2 display{1240, 720};
    const Rect button{1140, 13, 1174, 47};
    // Room: below, left edges aligned, 4 under.
    EXPECT_EQ(place_below({100, 13, 134, 47}, {255, 30}, display, 4), (Rect{100, 51, 355, 81}));
    // Past the right edge: it ends at the widget's right edge instead.
    EXPECT_EQ(place_below(button, {255, 30}, display, 4), (Rect{919, 51, 1174, 81}));
    // Wider than the room to the widget's right end too: kept inside.
    EXPECT_EQ(place_below({20, 13, 54, 47}, {1230, 30}, display, 4), (Rect{10, 51, 1240, 81}));
    // Past the bottom: above the widget, 4 over it.
    EXPECT_EQ(place_below({100, 690, 134, 710}, {60, 30}, display, 4), (Rect{100, 656, 160, 686}));
    // Taller than the window: from its top.
    EXPECT_EQ(place_below({100, 300, 134, 320}, {60, 900}, display, 4).top, 0);
}

TEST(SegmentedSwitch, Geometry) {
    EXPECT_FLOAT_EQ(segment_width(40), 62);
    const Vec2 s = segmented_switch_size(40, 50);
    EXPECT_FLOAT_EQ(s.x, 62 + 72 + 6);
    EXPECT_FLOAT_EQ(s.y, 32);
}

}  // namespace
}  // namespace corvane
