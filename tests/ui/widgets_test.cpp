#include "ui/widgets.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <set>

#include "headless_imgui.h"
#include "ui/panel_host.h"
#include "ui/palette.h"

namespace corvane {
namespace {

enum class Mode { A, B };

std::set<ImU32> vertex_colours(const ImDrawData* d) {
    std::set<ImU32> out;
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) out.insert(v.col);
    return out;
}

// Clicks at `at`: pointer down in one frame, up in the next, building the
// same UI each time; returns what `build` reported on the release frame.
template <class F>
auto click(ImVec2 at, F build) {
    test::run_frame(at, false, [&] { build(); });
    test::run_frame(at, true, [&] { build(); });
    decltype(build()) result{};
    test::run_frame(at, false, [&] { result = build(); });
    return result;
}

TEST(SegmentedSwitch, StoresOnlyAChangedValue) {
    Rect first, second;
    auto build = [&](Mode& current) {
        ImGui::SetCursorScreenPos(ImVec2(100, 100));
        const bool changed = draw_segmented_switch(current, {Mode::A, "Trace"}, {Mode::B, "Watch"});
        return changed;
    };
    Mode current = Mode::A;
    test::run_frame({0, 0}, false, [&] {
        build(current);
        // The last item is the second segment; the first starts 2 in.
        const ImRect r = ImGui::GetCurrentContext()->LastItemData.Rect;
        second = {r.Min.x, r.Min.y, r.Max.x, r.Max.y};
        first = {102, 102, r.Min.x - 2, 130};
    });
    EXPECT_EQ(second.height(), 28);
    EXPECT_EQ(second.top, 102);

    // The selected option: nothing stored.
    EXPECT_FALSE(click(to_im(first.center()), [&] { return build(current); }));
    EXPECT_EQ(current, Mode::A);
    // The other one: stored.
    bool any = false;
    click(to_im(second.center()), [&] { any |= build(current); return any; });
    EXPECT_TRUE(any);
    EXPECT_EQ(current, Mode::B);
}

TEST(CloseButton, ClickSetsTheFlag) {
    bool closed = false;
    click(ImVec2(114, 114), [&] {
        ImGui::SetCursorScreenPos(ImVec2(100, 100));
        draw_close_x_button(closed);
        return closed;
    });
    EXPECT_TRUE(closed);
    bool missed = false;
    click(ImVec2(300, 300), [&] {
        ImGui::SetCursorScreenPos(ImVec2(100, 100));
        draw_close_x_button(missed);
        return missed;
    });
    EXPECT_FALSE(missed);
}

TEST(RowBackground, PaintsThePremultipliedTints) {
    const ImDrawData* d = test::run_frame({0, 0}, false, [] {
        ImDrawList* dl = ImGui::GetWindowDrawList();
        paint_row_background(dl, {0, 0, 500, 36}, true, false);
        paint_row_background(dl, {0, 36, 500, 72}, false, true);
        paint_row_background(dl, {0, 72, 500, 108}, false, false);
    });
    const auto colours = vertex_colours(d);
    EXPECT_TRUE(colours.count(IM_COL32(75, 16, 0, 18)));    // 255,77,0 at alpha 18
    EXPECT_TRUE(colours.count(IM_COL32(42, 42, 42, 6)));    // white at alpha 6
    EXPECT_TRUE(colours.count(to_imu32(palette::accent)));  // the selection bar
    EXPECT_TRUE(colours.count(to_imu32(palette::row_line)));
    // Anti-alias fringes are fully transparent, never a coloured zero alpha.
    for (ImU32 c : colours)
        if ((c & IM_COL32_A_MASK) == 0) {
            EXPECT_EQ(c, 0u);
        }
    EXPECT_TRUE(test::indices_in_range(d));
}

TEST(FillRoundedRect, ManyMeshesAcrossVertexBlocks) {
    // More than 64k vertices: each mesh must address its own block.
    const ImDrawData* d = test::run_frame({0, 0}, false, [] {
        ImDrawList* dl = ImGui::GetWindowDrawList();
        for (int i = 0; i < 2500; ++i)
            fill_rounded_rect(dl, {float(i % 50) * 20, float(i / 50) * 10, float(i % 50) * 20 + 18, float(i / 50) * 10 + 8},
                              3, palette::accent, palette::accent_dark);
        fill_rounded_rect(dl, {0, 0, 0, 10}, 3, palette::accent, palette::accent_dark);  // nothing
    });
    EXPECT_TRUE(test::indices_in_range(d));
}

TEST(DialogButton, AtLeastThirtyHighAndClickable) {
    Rect r;
    test::run_frame({0, 0}, false, [&] {
        ImGui::SetCursorScreenPos(ImVec2(50, 50));
        r = draw_dialog_button("Save").rect;
    });
    EXPECT_GE(r.height(), 30);
    EXPECT_GT(r.width(), 20);
    const bool clicked = click(to_im(r.center()), [&] {
        ImGui::SetCursorScreenPos(ImVec2(50, 50));
        return draw_dialog_button("Save").clicked;
    });
    EXPECT_TRUE(clicked);
}

TEST(StatCard, ElidesItsSubTextAndKeepsWidthRules) {
    Rect wide, narrow;
    test::run_frame({0, 0}, false, [&] {
        ImGui::SetCursorScreenPos(ImVec2(0, 0));
        wide = draw_stat_card("Latency", "12", {FontFamily::MonoMedium, 30}, palette::accent, "ms", "last 12 · best 9",
                              std::nullopt).rect;
        ImGui::SetCursorScreenPos(ImVec2(0, 100));
        ImGui::BeginChild("narrow", ImVec2(100, 100));
        narrow = draw_stat_card("Loss", "1", {FontFamily::MonoMedium, 30}, palette::accent, "%",
                                "a very long sub text that cannot possibly fit", std::nullopt)
                     .rect;
        ImGui::EndChild();
    });
    EXPECT_EQ(wide.height(), 72);
    EXPECT_GT(wide.width(), 64);
    EXPECT_EQ(narrow.width(), 80 + 64);  // the space left is below 80
}

TEST(TooltipBox, FlipsNearTheRightLimit) {
    auto box_left = [](float anchor_x) {
        const ImDrawData* d = test::run_frame({0, 0}, false, [&] {
            draw_tooltip_box(ImGui::GetWindowDrawList(), anchor_x, 100, 1000, "12:00:01", "23 ms", palette::accent);
        });
        float left = 1e9f;
        for (int l = 0; l < d->CmdListsCount; ++l)
            for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
                if (v.col == to_imu32(palette::tooltip_bg)) left = std::min(left, v.pos.x);
        return left;
    };
    EXPECT_NEAR(box_left(100), 112, 1.0);
    EXPECT_LT(box_left(990), 990 - 12);
}

TEST(PanelHost, EveryPanelDrawsWithinItsVertices) {
    for (int v = 0; v < 4; ++v) {
        PanelInputs in;
        in.layout = v == 1 ? LayoutMode::Signal : LayoutMode::Instrument;
        in.view = v >= 2 ? ViewMode::Watch : ViewMode::Trace;
        in.watch_has_content = v == 2;
        in.has_alerts = in.error_banner = in.settings_open = true;
        PanelHeights heights;
        std::vector<PanelId> bodies;
        const ImDrawData* d = test::run_frame({0, 0}, false, [&] {
            host_panels(in, heights, [&](const PlacedPanel& p) { bodies.push_back(p.spec.id); });
        }, false);
        EXPECT_TRUE(test::indices_in_range(d)) << v;
        EXPECT_EQ(bodies.size(), frame_panels(in).size()) << v;
        const auto colours = vertex_colours(d);
        EXPECT_TRUE(colours.count(to_imu32(palette::separator))) << v;
        EXPECT_TRUE(colours.count(to_imu32(rgb(36, 12, 12)))) << v;
    }
}

// The white line along the edge: the y range its vertices cover (empty when
// there is none).
std::pair<float, float> edge_line_rows(const ImDrawData* d) {
    std::pair<float, float> rows{1e9f, -1e9f};
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == to_imu32(palette::text_white)) rows = {std::min(rows.first, v.pos.y), std::max(rows.second, v.pos.y)};
    return rows;
}

TEST(PanelHost, DraggingTheGrabBandResizesTheChart) {
    PanelInputs in;  // Instrument: chart 230 high from 622 to 852
    PanelHeights heights;
    const ImDrawData* d = nullptr;
    auto frame = [&](ImVec2 mouse, bool down) { d = test::run_frame(mouse, down, [&] { host_panels(in, heights, [](const PlacedPanel&) {}); }, false); };
    // Held 5 points to either side of the edge; a 1-point white line on the
    // panel's first row while hovered, 2 points while dragged.
    frame({700, 612}, false);
    EXPECT_GT(edge_line_rows(d).first, edge_line_rows(d).second) << "no line away from the edge";
    frame({700, 617}, false);
    frame({700, 617}, false);
    EXPECT_EQ(edge_line_rows(d), (std::pair<float, float>{622, 623}));
    frame({700, 626}, false);
    EXPECT_EQ(edge_line_rows(d), (std::pair<float, float>{622, 623}));
    frame({700, 626}, true);
    frame({700, 500}, true);
    frame({700, 500}, true);  // the edge has followed the pointer
    EXPECT_EQ(edge_line_rows(d), (std::pair<float, float>{499, 501}));
    frame({700, 500}, false);
    EXPECT_FLOAT_EQ(heights[PanelId::InstrumentChart], 352);
    frame({700, 500}, false);  // the band moved with the edge
    frame({700, 500}, true);
    frame({700, 840}, true);
    frame({700, 840}, false);
    EXPECT_FLOAT_EQ(heights[PanelId::InstrumentChart], 180);  // no lower than the minimum
}

}  // namespace
}  // namespace corvane
