#include "ui/scroll_area.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <optional>
#include <vector>

#include "headless_imgui.h"
#include "ui/ui_memory.h"

namespace corvane {
namespace {

TEST(ScrollThumb, FollowsTheOffsetWithinItsTrack) {
    const Rect track{492, 100, 498, 300};  // 200 high
    struct Case {
        const char* what;
        float content, scroll, min_h;
        Rect expect;
    };
    const Case cases[] = {
        {"fits: no thumb", 150, 0, kScrollThumbMin, {492, 100, 498, 100}},
        {"exactly fits: no thumb", 200, 0, kScrollThumbMin, {492, 100, 498, 100}},
        {"half in view, at the top", 400, 0, kScrollThumbMin, {492, 100, 498, 200}},
        {"half in view, half way", 400, 100, kScrollThumbMin, {492, 150, 498, 250}},
        {"half in view, at the end", 400, 200, kScrollThumbMin, {492, 200, 498, 300}},
        {"offset past the end stays on the track", 400, 900, kScrollThumbMin, {492, 200, 498, 300}},
        {"negative offset stays on the track", 400, -50, kScrollThumbMin, {492, 100, 498, 200}},
        {"huge list keeps a grabbable thumb", 1e6f, 0, kScrollThumbMin, {492, 100, 498, 120}},
        {"huge list at its end", 1e6f, 1e6f - 200, kScrollThumbMin, {492, 280, 498, 300}},
        {"other minimum", 1e6f, 0, 24, {492, 100, 498, 124}},
    };
    for (const Case& c : cases) EXPECT_EQ(scroll_thumb_rect(track, c.content, c.scroll, c.min_h), c.expect) << c.what;

    // A track shorter than the minimum: the thumb never leaves it.
    EXPECT_EQ(scroll_thumb_rect({0, 100, 3, 110}, 500, 490, 24), (Rect{0, 100, 3, 110}));
    // No room at all: nothing to draw.
    EXPECT_EQ(scroll_thumb_rect({0, 100, 3, 100}, 500, 0).height(), 0);
}

TEST(ScrollThumb, AGutterOfItsOwnOnlyWhenTheContentsOverflow) {
    const Rect area{24, 100, 1376, 400};  // 300 high
    EXPECT_EQ(scroll_content_width(area, 300), 1352);
    EXPECT_EQ(scroll_content_width(area, 301), 1352 - kScrollGutter);
    // The thumb, grab margin included, stays within the gutter.
    const Rect thumb = scroll_thumb_rect({area.right - kScrollBarInset - kScrollBarWidth, area.top,
                                          area.right - kScrollBarInset, area.bottom},
                                         600, 0)
                           .expand(kScrollBarInset);
    EXPECT_GE(thumb.left, area.left + scroll_content_width(area, 600));
    EXPECT_LE(thumb.right, area.right);
}

TEST(ScrollThumb, WheelMovesFortyPointsANotchWithinTheEnds) {
    struct Case {
        const char* what;
        float scroll, notches, max_scroll, expect;
    };
    const Case cases[] = {
        {"down a notch", 0, -1, 500, 40},     {"up a notch", 100, 1, 500, 60},
        {"never above the top", 30, 2, 500, 0}, {"never past the end", 480, -3, 500, 500},
        {"nothing to scroll", 0, -1, 0, 0},     {"negative room counts as none", 0, -1, -20, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(scroll_after_wheel(c.scroll, c.notches, c.max_scroll), c.expect) << c.what;
}

// --- The area in a frame -----------------------------------------------------

constexpr Rect kArea{100, 100, 500, 300};  // 200 high
constexpr float kRow = 40.0f;

// Draws `rows` rows of 40 in the area and returns where each landed.
std::vector<Rect> draw_rows(int rows, bool give_height) {
    std::vector<Rect> out;
    const std::optional<float> h = give_height ? std::optional<float>(rows * kRow) : std::nullopt;
    if (!begin_scroll_area("rows_under_test", kArea, h)) return out;
    for (int i = 0; i < rows; ++i) {
        const ImVec2 p = ImGui::GetCursorScreenPos();
        out.push_back({p.x, p.y, p.x + kArea.width(), p.y + kRow});
        ImGui::ItemSize(ImVec2(kArea.width(), kRow));
    }
    end_scroll_area();
    return out;
}

std::vector<Rect> frame(int rows, ImVec2 mouse, float wheel = 0.0f, bool down = false, bool give_height = true) {
    std::vector<Rect> out;
    ImGui::GetIO().MouseWheel = wheel;
    test::run_frame(mouse, down, [&] { out = draw_rows(rows, give_height); });
    return out;
}

const ImVec2 kOver{300, 200};
const ImVec2 kAway{900, 700};

TEST(ScrollArea, WheelScrollsOnlyWhileOverTheArea) {
    test::settle_frames([] { draw_rows(30, true); });
    EXPECT_EQ(frame(30, kAway, -3)[0].top, 100);
    EXPECT_EQ(frame(30, kOver, -3)[0].top, 100 - 120);
    // 1200 of rows in a 200 view: never past the end.
    EXPECT_EQ(frame(30, kOver, -100)[29].bottom, 300);
    EXPECT_EQ(frame(30, kOver, 100)[0].top, 100);
}

TEST(ScrollArea, AShrunkListIsNeverShownScrolledPastItsEnd) {
    test::settle_frames([] { draw_rows(30, true); });
    frame(30, kOver, -100);
    // The very frame it shrinks to three rows, they show from the top.
    EXPECT_EQ(frame(3, kOver)[0].top, 100);
    // Shrinking to a list that still overflows keeps its end at the bottom.
    frame(30, kOver, -100);
    EXPECT_EQ(frame(8, kOver)[7].bottom, 300);
}

TEST(ScrollArea, WithoutAGivenHeightLastFramesContentsCount) {
    test::settle_frames([] { draw_rows(30, false); });  // these measure the rows
    EXPECT_EQ(frame(30, kOver, -1, false, false)[0].top, 100 - 40);
    EXPECT_EQ(frame(30, kOver, -100, false, false)[29].bottom, 300);
}

TEST(ScrollArea, DraggingTheThumbScrollsInProportion) {
    test::settle_frames([] { draw_rows(10, true); });  // 400 of rows: thumb 100 on 200
    frame(10, {495, 110});
    frame(10, {495, 110}, 0, true);
    frame(10, {495, 135}, 0, true);
    frame(10, {495, 160}, 0, true);  // 50 of 100 free track: half way
    EXPECT_EQ(frame(10, {495, 160}, 0, true)[0].top, 100 - 100);
    EXPECT_EQ(frame(10, {495, 400}, 0, true)[0].top, 100 - 200);  // far below: stops at the end
    frame(10, {495, 400}, false);
    EXPECT_EQ(frame(10, {495, 150})[0].top, 100 - 200);  // let go: moving no longer scrolls
}

TEST(ScrollArea, NoRoomOpensNothing) {
    bool opened = true;
    test::run_frame(kOver, false, [&] {
        opened = begin_scroll_area("flat", {100, 100, 500, 100.5f}, 400.0f);
        if (opened) end_scroll_area();
    });
    EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace corvane
