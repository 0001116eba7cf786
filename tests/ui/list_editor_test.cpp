#include "ui/views/list_editor.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <algorithm>
#include <filesystem>

#include "headless_imgui.h"
#include "main/list_editor_save.h"
#include "main/saved_lists.h"
#include "main/saved_lists_hosts.h"
#include "support/test_support.h"
#include "ui/field_text.h"
#include "ui/fonts.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/panel_host.h"
#include "ui/views/list_editor_fields.h"
#include "ui/views/list_editor_footer.h"
#include "ui/views/list_editor_text.h"
#include "ui/wrapped_text_edit.h"

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

// Focusing the fields and saving keeps the list byte for byte, characters
// beyond U+FFFF included: no U+FFFD, no NUL, no extra host.
TEST_F(ListEditorDraw, EveryCharacterSurvivesEditingAndSaving) {
    const std::string name = "Home \U0001F3E0", text = "127.0.0.1 Router \U0001F4F6\n";
    app_.editor_name = name;
    app_.editor_text = text;
    auto name_field = [&] { draw_list_editor_name_field(app_.editor_name); };
    auto box = [&] { draw_list_text_box(app_.editor_text); };
    const Vec2 in_name{kLeft + 100, kTop + 17}, in_box{kLeft + 100, kTop + 150};
    click(in_name, name_field);
    frame(in_name, false, name_field);
    click(in_box, box);
    frame(in_box, false, box);
    ASSERT_TRUE(save_list_from_editor(app_));
    EXPECT_EQ(list_saved_list_files(), std::vector<std::string>{name});
    ASSERT_TRUE(app_.editor_saved_name);
    const std::string saved = read_list_file(*app_.editor_saved_name);
    EXPECT_EQ(saved, text);
    EXPECT_EQ(parse_host_list(saved).size(), 1u);

    // A pasted row keeps its TAB between host and label; a typed character
    // beyond U+FFFF goes in whole.
    click({kLeft + 100, kTop + 500}, box);  // away: the box lets go
    app_.editor_text.clear();
    click(in_box, box);
    ImGuiIO& io = ImGui::GetIO();
    io.KeyMap[ImGuiKey_V] = 302;
    ImGui::SetClipboardText("127.0.0.3\tCore router");
    io.KeyCtrl = io.KeysDown[302] = true;
    frame(in_box, false, box);
    io.KeyCtrl = io.KeysDown[302] = false;
    add_typed_character(io, 0x1F4F6);
    frame(in_box, false, box);
    EXPECT_EQ(app_.editor_text, "127.0.0.3\tCore router\U0001F4F6");
    const std::vector<HostListEntry> hosts = parse_host_list(app_.editor_text);
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(hosts[0].host, "127.0.0.3");
    EXPECT_EQ(hosts[0].label, "Core router\U0001F4F6");
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

TEST(WrapRows, BreakAtBlanksOrInsideAWordTooLong) {
    test::ensure_headless_imgui();
    ImFont* mono = font({FontFamily::Monospace, 12.5f});
    ASSERT_NE(mono, nullptr);
    const float a = mono->GetCharAdvance('a');
    const auto shown = [&](std::string_view text, float chars) {
        std::vector<std::string> out;
        for (const WrappedRow& r : wrap_rows(text, mono, mono->FontSize, chars * a + 0.5f))
            out.emplace_back(text.substr(r.begin, r.end - r.begin));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(shown("aaa bbb ccc", 5), (V{"aaa", "bbb", "ccc"}));
    EXPECT_EQ(shown("aaa bbb ccc", 7), (V{"aaa bbb", "ccc"}));
    EXPECT_EQ(shown("aaaaaaaaaaaa", 5), (V{"aaaaa", "aaaaa", "aa"}));
    EXPECT_EQ(shown("ab\n\ncd\n", 5), (V{"ab", "", "cd", ""}));
    EXPECT_EQ(shown("", 5), (V{""}));
    EXPECT_EQ(shown("  indented words", 10), (V{"  indented", "words"}));
    EXPECT_EQ(shown("a    b", 3), (V{"a", "b"}));  // the run of blanks hangs past the edge
    // Rows cover the text: each starts where the last said the next would.
    const std::string text = "10.0.0.1 a label long enough to wrap twice over\nx";
    const std::vector<WrappedRow> rows = wrap_rows(text, mono, mono->FontSize, 12 * a + 0.5f);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].begin, rows[i - 1].next);
    EXPECT_EQ(rows.back().next, text.size());
}

// The host box wraps a long line at its width and leaves the text as it is;
// the pointer and Up, Down, Home and End go by the rows shown.
TEST_F(ListEditorDraw, TheHostBoxWrapsLongLinesAndMovesByRows) {
    const std::string line =
        "10.77.100.1 a label that runs on well past the right edge of the host box, and on, and on again, until "
        "it has taken a good three rows of the box and some of a fourth, which it does once it has gone on past "
        "all the rows before it";
    app_.editor_text = line + "\nshort";
    auto box = [&] { draw_list_text_box(app_.editor_text); };
    ImFont* mono = font({FontFamily::Monospace, 12.5f});
    const float px = mono->FontSize;
    const Rect inner{kLeft + 10, kTop + 10, kLeft + kWidth - 10, kTop + 300 - 10};
    const std::vector<WrappedRow> rows = wrap_rows(app_.editor_text, mono, px, inner.width());
    ASSERT_GE(rows.size(), 4u) << "the first line wraps";
    ASSERT_LT(rows[2].next, line.size()) << "the first line has a third row and more";

    // Every glyph stays within the box, and the first line's take several rows.
    const ImDrawData* d = click({kLeft + 200, kTop + 250}, box);
    float right = 0, bottom = 0;
    const ImU32 text_colour = to_imu32(palette::text_primary);
    for (int l = 0; l < d->CmdListsCount; ++l)
        for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer)
            if (v.col == text_colour) {
                right = std::max(right, v.pos.x);
                bottom = std::max(bottom, v.pos.y);
            }
    EXPECT_LE(right, inner.right + 1);
    EXPECT_GT(bottom, inner.top + 2 * px);

    ImGuiIO& io = ImGui::GetIO();
    const auto row_mid = [&](std::size_t r) { return inner.top + (static_cast<float>(r) + 0.5f) * px; };
    // A click at the start of the second row, then typing, puts the text there.
    click({inner.left + 1, row_mid(1)}, box);
    type("A");
    frame({inner.left + 1, row_mid(1)}, false, box);
    EXPECT_EQ(app_.editor_text.substr(0, rows[1].begin), line.substr(0, rows[1].begin));
    EXPECT_EQ(app_.editor_text[rows[1].begin], 'A');

    // Down goes to the next row shown, not the next line; Home to its start.
    const auto press = [&](ImGuiKey key) {
        const int k = 400 + key;
        io.KeyMap[key] = k;
        io.KeysDown[k] = true;
        frame({inner.left + 1, row_mid(1)}, false, box);
        io.KeysDown[k] = false;
        frame({inner.left + 1, row_mid(1)}, false, box);
    };
    press(ImGuiKey_DownArrow);
    press(ImGuiKey_End);
    type("B");
    frame({inner.left + 1, row_mid(1)}, false, box);
    const std::vector<WrappedRow> now = wrap_rows(app_.editor_text, mono, px, inner.width());
    EXPECT_EQ(app_.editor_text[now[2].end - 1], 'B') << app_.editor_text;
    press(ImGuiKey_Home);
    type("C");
    frame({inner.left + 1, row_mid(1)}, false, box);
    EXPECT_EQ(app_.editor_text[now[2].begin], 'C') << app_.editor_text;
    // Nothing but the typing went into the text: no line feed was added.
    EXPECT_EQ(std::count(app_.editor_text.begin(), app_.editor_text.end(), '\n'), 1);
}

}  // namespace
}  // namespace corvane
