#include "ui/color.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/render_colors.h"

namespace corvane {
namespace {

TEST(LerpColor, ClampsRoundsAndIsOpaque) {
    const Color32 a{10, 200, 0, 40};
    const Color32 b{20, 100, 255, 90};
    struct Case {
        float t;
        Color32 want;
    } cases[] = {
        {-1.0f, {10, 200, 0, 255}},
        {0.0f, {10, 200, 0, 255}},
        {0.25f, {13, 175, 64, 255}},   // 12.5 rounds away from zero; 63.75 -> 64
        {0.5f, {15, 150, 128, 255}},   // 127.5 -> 128
        {1.0f, {20, 100, 255, 255}},
        {7.0f, {20, 100, 255, 255}},
        {std::numeric_limits<float>::quiet_NaN(), {10, 200, 0, 255}},
    };
    for (const Case& c : cases) EXPECT_EQ(lerp_color(a, b, c.t), c.want) << "t=" << c.t;
}

TEST(ColorWithAlpha, MatchesThePremultipliedTable) {
    struct Case {
        Color32 in;
        Color32 want;
    } cases[] = {
        {{255, 255, 255, 6}, {42, 42, 42, 6}},
        {{255, 77, 0, 18}, {75, 16, 0, 18}},
        {{255, 255, 255, 5}, {38, 38, 38, 5}},
        {{255, 77, 0, 90}, {160, 45, 0, 90}},
        {{255, 59, 59, 70}, {143, 29, 29, 70}},
        {{255, 255, 255, 64}, {137, 137, 137, 64}},
        {{110, 110, 110, 150}, {premultiply_channel(110, 150), premultiply_channel(110, 150), premultiply_channel(110, 150), 150}},
        {{12, 34, 56, 255}, {12, 34, 56, 255}},
        {{12, 34, 56, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(color_with_alpha(c.in.r, c.in.g, c.in.b, c.in.a), c.want)
            << int(c.in.r) << "," << int(c.in.g) << "," << int(c.in.b) << " a" << int(c.in.a);
}

TEST(ColorWithAlpha, OverADarkBackgroundGivesTheDesignedShade) {
    // What the renderer's ONE, ONE_MINUS_SRC_ALPHA blend makes of it.
    auto over = [](Color32 src, int bg) {
        return static_cast<int>(std::lround(src.r + bg * (1.0 - src.a / 255.0)));
    };
    EXPECT_EQ(over(color_with_alpha(255, 255, 255, 6), 10), 52);
    EXPECT_EQ(over(color_with_alpha(255, 255, 255, 5), 20), 58);
    EXPECT_EQ(over(color_with_alpha(255, 255, 255, 64), 17), 150);
    EXPECT_EQ(over(color_with_alpha(255, 59, 59, 70), 17), 155);
}

TEST(ColorWithAlpha, TableIsMonotonicInValueAndAlpha) {
    for (int a = 1; a < 255; a += 7) {
        for (int v = 1; v < 256; ++v) {
            ASSERT_LE(premultiply_channel(std::uint8_t(v - 1), std::uint8_t(a)), premultiply_channel(std::uint8_t(v), std::uint8_t(a)));
            ASSERT_LE(premultiply_channel(std::uint8_t(v), std::uint8_t(a)), v);
        }
    }
    for (int v : {0, 1, 10, 11, 128, 255}) EXPECT_EQ(srgb_from_linear(linear_from_srgb(std::uint8_t(v))), v);
}

TEST(TextCoverage, IsGammaShapedAndWrittenToAllChannels) {
    EXPECT_EQ(text_coverage(0), 0);
    EXPECT_EQ(text_coverage(255), 255);
    EXPECT_EQ(text_coverage(128), 175);  // 255 * (128/255)^0.55 = 174.55
    EXPECT_GT(text_coverage(1), 1);      // faint coverage is lifted
    std::uint8_t texels[8] = {255, 255, 255, 128, 255, 255, 255, 0};
    premultiply_texels(texels, 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(texels[i], 175);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(texels[i], 0);
}

}  // namespace
}  // namespace corvane
