#include "ui/views/list_library.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "headless_imgui.h"
#include "main/saved_lists.h"
#include "support/test_support.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/views/list_library_row.h"
#include "ui/views/list_library_text.h"

namespace corvane {
namespace {

std::vector<ImDrawVert> vertices_of(const ImDrawData* d) {
    std::vector<ImDrawVert> out;
    for (int l = 0; l < d->CmdListsCount; ++l) out.insert(out.end(), d->CmdLists[l]->VtxBuffer.begin(), d->CmdLists[l]->VtxBuffer.end());
    return out;
}

bool has_colour(const ImDrawData* d, Color32 c) {
    for (const ImDrawVert& v : vertices_of(d))
        if (v.col == to_imu32(c)) return true;
    return false;
}

TEST(ListLibraryText, CountsPreviewsAndColumns) {
    EXPECT_EQ(host_count_text(0), "0 hosts");
    EXPECT_EQ(host_count_text(1), "1 host");
    EXPECT_EQ(host_count_text(2), "2 hosts");

    const std::vector<HostListEntry> five{{"10.0.0.1", "Core router"}, {"10.0.0.2", {}}, {"gw", {}},
                                          {"10.0.0.4", {}}, {"10.0.0.5", "Far"}};
    const std::pair<long, const char*> previews[] = {{0, ""},
                                                     {1, "Core router"},
                                                     {3, "Core router, 10.0.0.2, gw"},
                                                     {4, "Core router, 10.0.0.2, gw, +1"},
                                                     {5, "Core router, 10.0.0.2, gw, +2"}};
    for (const auto& [k, text] : previews) {
        const ListSummary list{static_cast<std::size_t>(k), {five.begin(), five.begin() + std::min(k, 3L)}, false};
        EXPECT_EQ(list_preview_text(list), text) << k;
    }
    EXPECT_EQ(list_count_text({2, {}, false}), "2 hosts");
    EXPECT_EQ(list_count_text({0, {}, true}), "file too large");

    const std::pair<float, std::size_t> columns[] = {{0, 1},   {613, 1},  {613.9f, 1}, {614, 2},
                                                     {927, 2}, {928, 3},  {-500, 1},   {std::numeric_limits<float>::quiet_NaN(), 1}};
    for (const auto& [w, n] : columns) EXPECT_EQ(library_columns(w), n) << w;
    EXPECT_LE(library_columns(std::numeric_limits<float>::infinity()), 10000u);  // a defined cast
}

TEST(ListLibraryText, CardsEndWithNewListAndRowsKeepOrder) {
    EXPECT_EQ(library_row_count(0, 3), 1u);
    ASSERT_EQ(library_row_cards({}, 0, 3).size(), 1u);
    EXPECT_TRUE(library_row_cards({}, 0, 3)[0].new_list);
    const std::vector<std::string> names{"Alpha", "beta", "Gamma", "delta"};
    ASSERT_EQ(library_row_count(names.size(), 2), 3u);
    EXPECT_EQ(library_row_cards(names, 1, 2)[1].name, "delta");
    const std::vector<LibraryCard> last = library_row_cards(names, 2, 2);
    ASSERT_EQ(last.size(), 1u);  // the last row is shorter
    EXPECT_TRUE(last[0].new_list);
    EXPECT_EQ(library_row_count(names.size(), 5), 1u);
    EXPECT_EQ(library_row_cards(names, 0, 5).size(), 5u);
    EXPECT_EQ(library_row_count(names.size(), 0), names.size() + 1);  // never divides by zero
    EXPECT_EQ(library_row_cards(names, 4, 0)[0].new_list, true);
}

class ListLibraryDraw : public ::testing::Test {
protected:
    static constexpr float kLeft = 40, kTop = 60;

    void SetUp() override { test::ensure_headless_imgui(); }
    void write_list(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(lists_dir());
        std::ofstream(list_file_path(name), std::ios::binary) << text;
    }
    // Two frames with the pointer still (hover settles), or press and release.
    const ImDrawData* row_frames(const std::vector<LibraryCard>& cards, Vec2 at, LibraryRequests& req, bool click) {
        const ImDrawData* d = nullptr;
        for (bool down : {false, click, false})
            d = test::run_frame(to_im(at), down, [&] {
                ImGui::SetCursorScreenPos(ImVec2(kLeft, kTop));
                draw_list_library_row(cards, kLibraryCardWidth, req);
            });
        return d;
    }

    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
    test::ScopedEnv localappdata_{"LOCALAPPDATA", dir_.path().string()};
};

TEST_F(ListLibraryDraw, ClicksOnACardAndItsButtons) {
    write_list("Office", "10.0.0.1 Core\n10.0.0.2\n");
    const LibraryCardGeometry office = library_card_geometry({kLeft, kTop}, kLibraryCardWidth);
    const Vec2 plus = library_card_geometry({kLeft + 314, kTop}, kLibraryCardWidth).card.center();
    struct Case {
        const char* what;
        Vec2 at;
        std::optional<std::string> watch, edit;
        bool new_list;
    } cases[] = {
        {"Watch", office.watch.center(), "Office", {}, false},
        {"Edit", office.edit.center(), {}, "Office", false},
        {"card body", {office.card.right - 20, office.card.top + 10}, "Office", {}, false},
        {"between the buttons", {office.watch.right + 4, office.watch.center().y}, "Office", {}, false},
        {"New list", plus, {}, {}, true},
        {"between the cards", {office.card.right + 7, office.card.center().y}, {}, {}, false},
    };
    for (const Case& c : cases) {
        LibraryRequests r;
        row_frames(library_row_cards({"Office"}, 0, 2), c.at, r, true);
        EXPECT_EQ(r.watch, c.watch) << c.what;
        EXPECT_EQ(r.edit, c.edit) << c.what;
        EXPECT_EQ(r.new_list, c.new_list) << c.what;
    }
}

TEST_F(ListLibraryDraw, HoverLightsTheCardAndTheButtonOverIt) {
    write_list("Office", "10.0.0.1\n");
    const LibraryCardGeometry g = library_card_geometry({kLeft, kTop}, kLibraryCardWidth);
    const Color32 watch_idle = lerp_color(palette::accent, palette::accent_dark, 0.5f);  // the gradient's centre
    const Color32 watch_hover = lerp_color(palette::accent_bright, palette::accent_deep, 0.5f);
    LibraryRequests r;
    auto at = [&](Vec2 p) { return row_frames(library_row_cards({"Office"}, 0, 2), p, r, false); };

    const ImDrawData* away = at({5, 5});
    EXPECT_FALSE(has_colour(away, palette::accent_shadow));
    EXPECT_TRUE(has_colour(away, watch_idle));
    EXPECT_TRUE(has_colour(away, palette::text_secondary));  // the "New list" card at rest

    EXPECT_TRUE(has_colour(at({g.card.right - 20, g.card.top + 10}), palette::accent_shadow));
    EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_Arrow);  // only the buttons take the hand

    // Over a button the card keeps its hovered look: the pointer is on it.
    const ImDrawData* button = at(g.watch.center());
    EXPECT_TRUE(has_colour(button, watch_hover));
    EXPECT_TRUE(has_colour(button, palette::accent_shadow));
    EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_Hand);

    const ImDrawData* edit = at(g.edit.center());
    EXPECT_TRUE(has_colour(edit, rgb(30, 30, 30)));
    EXPECT_TRUE(has_colour(edit, palette::accent_shadow));
    EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_Hand);
    EXPECT_TRUE(has_colour(at(library_card_geometry({kLeft + 314, kTop}, 300).card.center()), palette::accent_bright));
    EXPECT_EQ(ImGui::GetMouseCursor(), ImGuiMouseCursor_Arrow);
}

TEST_F(ListLibraryDraw, PreviewIsCutAtTheInnerWidthAndAbsentWithoutAFile) {
    std::string text;
    for (int i = 0; i < 3; ++i) text += "10.0.0." + std::to_string(i) + " A rather long label for host " + std::to_string(i) + "\n";
    write_list("Long", text);
    LibraryRequests r;
    float right = 0;
    for (const ImDrawVert& v : vertices_of(row_frames({{"Long", false}}, {5, 5}, r, false)))
        if (v.col == to_imu32(palette::text_faint)) right = std::max(right, v.pos.x);
    EXPECT_LE(right, kLeft + 18 + (kLibraryCardWidth - 36) + 0.5f);
    EXPECT_GT(right, kLeft + 18 + (kLibraryCardWidth - 36) - 20);  // it fills the width, then stops

    const ImDrawData* missing = row_frames({{"Missing", false}}, {5, 5}, r, false);
    EXPECT_FALSE(has_colour(missing, palette::text_faint));
    EXPECT_TRUE(test::indices_in_range(missing));
}

// The whole page in its panel: the grid follows the width, the wheel
// scrolls, and the requests reach the frame's actions.
class ListLibraryPage : public ListLibraryDraw {
protected:
    // Title 26 high, explanation 17, their spacing, and the spaces above and below.
    static constexpr float kFirstRow = 20 + 26 + 8 + 17 + 8 + 14;
    static constexpr float kRowPitch = 130 + 8 + 14;

    PanelActions frame(Vec2 mouse, bool down, Rect content) {
        PanelActions actions;
        FrameView view;
        ViewServices services;
        PlacedPanel panel;
        panel.rect = content.expand(10);
        panel.content = content;
        ViewContext ctx{app_, view, actions, panel, services};
        test::run_frame(to_im(mouse), down, [&] { draw_list_library(ctx); });
        return actions;
    }
    PanelActions click(Vec2 at, Rect content) {
        frame(at, false, content);
        frame(at, true, content);
        return frame(at, false, content);
    }
    App app_;
};

TEST_F(ListLibraryPage, ThreeColumnsThenTheSecondRow) {
    app_.saved_list_names = {"a", "b", "c", "d"};
    const Rect content{32, 108, 32 + 942, 800};  // (942 + 14) / 314 = 3 columns
    const float row2 = content.top + kFirstRow + kRowPitch;
    EXPECT_EQ(click({content.left + 150, row2 + 20}, content).open_list, "d");
    EXPECT_TRUE(click({content.left + 314 + 150, row2 + 65}, content).new_list);
    const PanelActions edit = click({content.left + 2 * 314 + 130, content.top + kFirstRow + 100}, content);
    EXPECT_EQ(edit.edit_list, "c");
    EXPECT_FALSE(edit.open_list);
}

TEST_F(ListLibraryPage, TheWheelScrollsFortyPointsANotch) {
    app_.saved_list_names = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    const Rect content{32, 108, 32 + 700, 508};  // two columns, 400 high
    const Vec2 gap{content.left + 150, content.top + kFirstRow + 130 + 11};  // between the first two rows
    const PanelActions before = click(gap, content);
    EXPECT_FALSE(before.open_list || before.edit_list || before.new_list);
    frame(gap, false, content);
    ImGui::GetIO().MouseWheel = -1.0f;
    frame(gap, false, content);
    EXPECT_EQ(click(gap, content).open_list, "c");  // the second row moved up under the pointer
}

}  // namespace
}  // namespace corvane
