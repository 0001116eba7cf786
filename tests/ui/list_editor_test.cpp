#include "ui/views/list_editor.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <filesystem>

#include "headless_imgui.h"
#include "main/saved_lists.h"
#include "support/test_support.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/panel_host.h"
#include "ui/views/list_editor_fields.h"
#include "ui/views/list_editor_footer.h"
#include "ui/views/list_editor_text.h"

namespace corvane {
namespace {

constexpr Color32 kHint = rgb(133, 133, 133);

bool has_colour(const ImDrawData* d, Color32 c) {
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == to_imu32(c)) return true;
    return false;
}

TEST(ListEditorText, TitleAndCountFollowTheEditor) {
    EXPECT_EQ(list_editor_title(std::nullopt), "New list");
    EXPECT_EQ(list_editor_title(std::string("Office")), "Edit list");
    const std::pair<const char*, const char*> counts[] = {
        {"", "0 hosts"},
        {"10.0.0.1", "1 host"},
        {"# only a comment\n , ; \r\n", "0 hosts"},
        {"10.0.0.1 Core router, 10.0.0.2; gw Edge  link # and a note", "3 hosts"},
        {"gw\nGW other spelling\n", "1 host"},
    };
    for (const auto& [text, count] : counts) EXPECT_EQ(editor_host_count_text(text), count) << text;
}

TEST(ListEditorText, FooterRunsLeftwardsFromTheRightEdge) {
    const ListEditorFooterLayout l = list_editor_footer_layout(0, 472, 100, Vec2{84, 30}, {52, 30}, {64, 30});
    EXPECT_EQ(l.height, 32);
    EXPECT_EQ(l.save_and_watch, (Rect{342, 100, 472, 132}));
    EXPECT_EQ(l.save, (Rect{282, 101, 334, 131}));  // 8 apart, centred in the row
    EXPECT_EQ(l.cancel, (Rect{210, 101, 274, 131}));
    EXPECT_EQ(l.delete_list, (Rect{0, 101, 84, 131}));
    EXPECT_FALSE(list_editor_footer_layout(0, 472, 100, std::nullopt, {52, 30}, {64, 30}).delete_list);
}

class ListEditorDraw : public ::testing::Test {
protected:
    static constexpr float kLeft = 100, kTop = 80, kWidth = 472;

    void SetUp() override {
        test::ensure_headless_imgui();
        ImGuiIO& io = ImGui::GetIO();
        if (io.KeyMap[ImGuiKey_Escape] < 0) io.KeyMap[ImGuiKey_Escape] = 300;
        app_.editor_open = true;
        // The child is up before the first frame under test, as the editor
        // window is before the pointer reaches it: a window only takes the
        // hover from its second frame.
        test::settle_frames([&] { in_child([] {}); });
    }

    // Runs `body` in a child as wide as the editor window's content.
    static void in_child(const std::function<void()>& body) {
        ImGui::SetCursorScreenPos(ImVec2(kLeft, kTop));
        ImGui::BeginChild("editor_under_test", ImVec2(kWidth, 700));
        body();
        ImGui::EndChild();
    }
    const ImDrawData* frame(Vec2 mouse, bool down, const std::function<void()>& body) {
        return test::run_frame(to_im(mouse), down, [&] { in_child(body); });
    }
    const ImDrawData* click(Vec2 at, const std::function<void()>& body) {
        frame(at, false, body);
        frame(at, true, body);
        return frame(at, false, body);
    }
    ListEditorFooterLayout footer() const {
        std::optional<Vec2> del;
        if (app_.editor_saved_name) del = list_editor_dialog_button_size("Delete list");
        return list_editor_footer_layout(kLeft, kLeft + kWidth, kTop, del, list_editor_dialog_button_size("Save"),
                                         list_editor_dialog_button_size("Cancel"));
    }
    PanelActions click_footer(Vec2 at) {
        PanelActions actions;
        click(at, [&] { draw_list_editor_footer(app_, actions); });
        return actions;
    }
    void type(const std::string& text) {
        for (char ch : text) ImGui::GetIO().AddInputCharacter(static_cast<unsigned char>(ch));
    }

    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
    test::ScopedEnv localappdata_{"LOCALAPPDATA", dir_.path().string()};
    App app_;
};

TEST_F(ListEditorDraw, FooterRequests) {
    app_.editor_name = "Office";
    app_.editor_text = "10.0.0.1\n";
    PanelActions a = click_footer(footer().save_and_watch.center());
    EXPECT_TRUE(a.editor_save_and_watch);
    EXPECT_FALSE(a.editor_close);
    a = click_footer(footer().cancel.center());
    EXPECT_TRUE(a.editor_close);
    EXPECT_FALSE(a.editor_save_and_watch);
    EXPECT_FALSE(std::filesystem::exists(list_file_path("Office")));  // neither saves by itself

    EXPECT_FALSE(click_footer({kLeft + 30, footer().save.center().y}).editor_delete);  // a new list: no "Delete list"
    app_.editor_saved_name = "Office";
    EXPECT_TRUE(click_footer(footer().delete_list->center()).editor_delete);
}

TEST_F(ListEditorDraw, SaveWritesAndClosesOnlyWhenItSucceeded) {
    app_.editor_name = "  ";
    app_.editor_text = "10.0.0.1 Core\n";
    EXPECT_FALSE(click_footer(footer().save.center()).editor_close);
    EXPECT_EQ(app_.editor_message, "Give the list a name first.");
    EXPECT_EQ(app_.editor_message_color, kMessageRed);

    app_.editor_name = " Office ";
    EXPECT_TRUE(click_footer(footer().save.center()).editor_close);
    EXPECT_EQ(app_.editor_message, "Saved.");
    EXPECT_EQ(app_.editor_message_color, kMessageGreen);
    EXPECT_EQ(app_.editor_saved_name, "Office");
    EXPECT_EQ(read_list_file("Office"), "10.0.0.1 Core\n");
}

TEST_F(ListEditorDraw, FailedSaveAndWatchOpensNothingAndTheRedMessageStays) {
    app_.editor_name = "Office";
    app_.editor_text = "# just a comment\n,;\n";
    PanelActions a = click_footer(footer().save_and_watch.center());
    apply_panel_actions(app_, a, ActionSource::ListEditor);
    EXPECT_TRUE(app_.watch_tabs.empty());
    EXPECT_TRUE(app_.editor_open);
    EXPECT_EQ(app_.editor_message, "Paste at least one address or host name.");

    PanelActions none;
    FrameView view;
    ViewServices services;
    PlacedPanel panel;
    ViewContext ctx{app_, view, none, panel, services};
    EXPECT_TRUE(has_colour(frame({5, 5}, false, [&] { draw_list_editor(ctx); }), palette::bad_red));
    app_.editor_message.reset();
    EXPECT_FALSE(has_colour(frame({5, 5}, false, [&] { draw_list_editor(ctx); }), palette::bad_red));
}

TEST_F(ListEditorDraw, TypingEditsTheFieldsAndEscapeKeepsWhatWasTyped) {
    auto name_field = [&] { draw_list_editor_name_field(app_.editor_name); };
    const Vec2 in_name{kLeft + 100, kTop + 17};
    EXPECT_TRUE(has_colour(frame(in_name, false, name_field), rgb(64, 64, 64)));  // hovered border
    EXPECT_TRUE(has_colour(click(in_name, name_field), palette::accent));       // editing border
    type("Of");
    frame(in_name, false, name_field);
    EXPECT_EQ(app_.editor_name, "Of");

    // Escape closes the editor (the frame does that); the field must not put
    // back what it held before the typing.
    ImGuiIO& io = ImGui::GetIO();
    io.KeysDown[io.KeyMap[ImGuiKey_Escape]] = true;
    frame(in_name, false, name_field);
    io.KeysDown[io.KeyMap[ImGuiKey_Escape]] = false;
    frame(in_name, false, name_field);
    EXPECT_EQ(app_.editor_name, "Of");
    EXPECT_EQ(ImGui::GetActiveID(), 0u);

    auto box = [&] { draw_list_text_box(app_.editor_text); };
    EXPECT_TRUE(has_colour(click({kLeft + 100, kTop + 150}, box), kHint));
    type("10.0.0.1 Core\n10.0.0.2");
    frame({kLeft + 100, kTop + 150}, false, box);
    EXPECT_FALSE(has_colour(frame({kLeft + 100, kTop + 150}, false, box), kHint));
    EXPECT_EQ(app_.editor_text, "10.0.0.1 Core\n10.0.0.2");
}

TEST_F(ListEditorDraw, TheBodyFitsTheEditorWindow) {
    // Hosted as the program hosts it: the floating window at the centre.
    app_.editor_saved_name = app_.editor_name = "Office";
    app_.editor_text = "10.0.0.1\n";
    PanelInputs in;
    in.view = ViewMode::Watch;
    in.editor_open = true;
    PanelHeights heights;
    Rect window;
    const auto draw = [&] {
        host_panels(in, heights, [&](const PlacedPanel& p) {
            if (p.spec.id != PanelId::ListEditor) return;
            PanelActions actions;
            FrameView view;
            ViewServices services;
            ViewContext ctx{app_, view, actions, p, services};
            draw_list_editor(ctx);
            window = p.rect;
        });
    };
    test::run_frame({5, 5}, false, draw, false);
    EXPECT_TRUE(test::indices_in_range(test::run_frame({5, 5}, false, draw, false)));
    // Title 22, 8, 4, "Name" 16, 8, field 34, 8, hosts row 32, 8, box 300, 8, 6, footer 32, margins 48.
    EXPECT_NEAR(window.height(), 22 + 8 + 4 + 16 + 8 + 34 + 8 + 32 + 8 + 300 + 8 + 6 + 32 + 48, 2.0);
}

}  // namespace
}  // namespace corvane
