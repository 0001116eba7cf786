// The Settings window: its rules as pure functions, then its pieces and the
// whole window driven headless with a recording sound player and stand-in
// system dialogs.
#include "ui/views/settings_window.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cmath>
#include <set>

#include "engine/history_writer.h"
#include "headless_imgui.h"
#include "platform/system_dialogs.h"
#include "support/test_support.h"
#include "ui/animation_frames.h"
#include "ui/text_layout.h"
#include "ui/views/settings_window_logic.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

// --- Rules -------------------------------------------------------------------

TEST(SettingsRules, SoundLabels) {
    struct Case {
        SoundChoice choice;
        std::string want;
    } cases[] = {
        {SoundChoice::wav_file("/m/Windows Ding.wav"), "Windows Ding"},
        {SoundChoice::wav_file("/m/chord.backup.wav"), "chord.backup"},  // only the last extension goes
        {SoundChoice::wav_file("/m/sounds/"), "/m/sounds/"},             // no stem: the whole path
        {SoundChoice::wav_file("/m/bad\xff.wav"), "bad\xEF\xBF\xBD"},     // invalid bytes replaced
    };
    for (const Case& c : cases) EXPECT_EQ(sound_choice_label(c.choice), c.want) << c.choice.file;
    // Built-in choices show their table labels; an index past the table the first.
    EXPECT_FALSE(sound_choice_label(SoundChoice::builtin_sound(3)).empty());
    EXPECT_EQ(sound_choice_label(SoundChoice::builtin_sound(200)), sound_choice_label(SoundChoice::builtin_sound(0)));
}

TEST(SettingsRules, PathsCompareByComponent) {
    EXPECT_TRUE(same_path_components("/h/History", "/h/History/"));
    EXPECT_TRUE(same_path_components("/h//History", "/h/./History"));
    EXPECT_FALSE(same_path_components("/h/History", "/h/history"));
    EXPECT_FALSE(same_path_components("h/History", "/h/History"));
    EXPECT_FALSE(same_path_components("/h/a/../History", "/h/History"));  // ".." is not resolved

    const std::vector<fs::path> system = {"/m/a.wav", "/m/b.wav"};
    EXPECT_FALSE(is_custom_sound(SoundChoice::builtin_sound(1), system));
    EXPECT_FALSE(is_custom_sound(SoundChoice::wav_file("/m//b.wav"), system));
    EXPECT_TRUE(is_custom_sound(SoundChoice::wav_file("/c/b.wav"), system));
    EXPECT_TRUE(is_custom_sound(SoundChoice::wav_file("/m/b.wav"), {}));
}

TEST(SettingsRules, PickedSoundFileWithAControlCharacterIsRefused) {
    struct Case {
        const char* path;
        bool accepted;
    } cases[] = {
        {"/s/alert.wav", true},
        {"/s/caf\xC3\xA9 \xC2\xA0no-break.wav", true},  // é and U+00A0 are not controls
        {"/s/two\nlines.wav", false},
        {"/s/cr\r.wav", false},
        {"/s/tab\t.wav", false},
        {"/s/del\x7F.wav", false},
        {"/s/nel\xC2\x85.wav", false},  // U+0085, a C1 control
        {"/s/csi\xC2\x9B.wav", false},  // U+009B
        {"", false},
    };
    for (const Case& c : cases) {
        const auto pick = file_sound_pick(c.path);
        EXPECT_EQ(pick.has_value(), c.accepted) << c.path;
        if (pick) {
            EXPECT_EQ(*pick, SoundChoice::wav_file(c.path));
        }
    }
}

TEST(SettingsRules, TypedFolderIsTrimmedAndNeverBlank) {
    EXPECT_EQ(folder_from_text("  /h/My History \t"), fs::path("/h/My History"));
    EXPECT_EQ(folder_from_text("\xE3\x80\x80/h\xE2\x80\x83"), fs::path("/h"));  // U+3000, U+2003
    EXPECT_EQ(folder_from_text(" \xE3\x80\x80\n"), std::nullopt);
    EXPECT_EQ(folder_from_text(""), std::nullopt);
}

TEST(SettingsRules, HistoryNoteFirstRuleThatApplies) {
    constexpr Color32 grey = rgb(110, 110, 110), red = rgb(255, 59, 59);
    struct Case {
        const char* name;
        std::optional<std::string> file, error;
        const char* folder;
        bool save;
        std::optional<std::string> text;
        Color32 color{};
    } cases[] = {
        {"error wins", "/h/History/a.csv", "Cannot create /h/History", "/h/History", true, "Cannot create /h/History", red},
        {"writing here", "/h/History/trace 10.0.0.1.csv", {}, "/h/History", false, "Writing to trace 10.0.0.1.csv", grey},
        {"trailing slash on the folder", "/h/History/a.csv", {}, "/h/History/", true, "Writing to a.csv", grey},
        {"folder changed", "/h/Old/a.csv", {}, "/h/History", true,
         "The new folder takes effect the next time you press Start.", grey},
        {"no file yet", {}, {}, "/h/History", true, "Files are created when the first probe is recorded.", grey},
        {"saving off", {}, {}, "/h/History", false, {}},
    };
    for (const Case& c : cases) {
        TraceState trace;
        trace.history_file = c.file;
        trace.history_error = c.error;
        const auto note = history_note(trace, c.folder, c.save);
        ASSERT_EQ(note.has_value(), c.text.has_value()) << c.name;
        if (!note) continue;
        EXPECT_EQ(note->text, *c.text) << c.name;
        EXPECT_EQ(note->color, c.color) << c.name;
    }
}

TEST(SettingsRules, SwitchSlidesAndTurnsBack) {
    BoolAnimation a;
    EXPECT_FLOAT_EQ(a.value(true, 10.0, 0.1f), 1.0f);  // first seen: where it is
    EXPECT_FLOAT_EQ(a.value(false, 20.0, 0.1f), 1.0f);
    EXPECT_NEAR(a.value(false, 20.05, 0.1f), 0.5f, 1e-4);
    EXPECT_NEAR(a.value(true, 20.06, 0.1f), 0.4f, 1e-4);  // turns back from 0.4, not from 0
    EXPECT_NEAR(a.value(true, 20.11, 0.1f), 0.7f, 1e-4);  // over a whole slide time
    EXPECT_FLOAT_EQ(a.value(true, 30.0, 0.1f), 1.0f);
    EXPECT_FLOAT_EQ(switch_knob_x(100, 138, 0), 111);
    EXPECT_FLOAT_EQ(switch_knob_x(100, 138, 1), 127);
}

// --- Drawn pieces and the whole window --------------------------------------------

class FakeDialogs : public SystemDialogs {
public:
    std::optional<fs::path> wav_answer, folder_answer;
    int wav_calls = 0;
    std::vector<fs::path> folder_starts, opened;

    std::optional<fs::path> pick_wav_file() override {
        ++wav_calls;
        return wav_answer;
    }
    std::optional<fs::path> pick_folder(const fs::path& start) override {
        folder_starts.push_back(start);
        return folder_answer;
    }
    void open_folder(const fs::path& dir) override { opened.push_back(dir); }
};

struct Played {
    SoundChoice choice;
    std::uint8_t volume;
};

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensure_headless_imgui();
        saved_player_ = settings_preview_player();
        settings_preview_player() = [this](const SoundChoice& c, std::uint8_t v) { played.push_back({c, v}); };
        app.shared->set_history_dir(history);
        app.history_dir_text = history.string();
    }
    void TearDown() override {
        settings_preview_player() = saved_player_;
        test::run_frame({0, 0}, false, [] {});  // nothing left hovered or active for the next test
    }

    // One frame of `piece` drawn at (100, 100) with the window's spacing.
    void piece_frame(ImVec2 mouse, bool down, const std::function<void()>& piece) {
        test::run_frame(mouse, down, [&] {
            ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(10, 6));
            ImGui::SetCursorScreenPos(ImVec2(100, 100));
            piece();
            ImGui::PopStyleVar();
        });
    }
    void click_piece(ImVec2 at, const std::function<void()>& piece) {
        piece_frame(at, false, piece);
        piece_frame(at, true, piece);
        piece_frame(at, false, piece);
    }

    // One frame of the whole window, hosted as the program hosts it; returns
    // the window's rectangle.
    Rect window_frame(ImVec2 mouse = {0, 0}, bool down = false) {
        Rect r;
        test::run_frame(mouse, down, [&] {
            ImGui::SetNextWindowPos(ImVec2(400, 10));
            ImGui::SetNextWindowSizeConstraints(ImVec2(588, 0), ImVec2(588, FLT_MAX));
            ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(24, 24));
            ImGui::Begin("settings_under_test", nullptr,
                         ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                             ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize);
            ImGui::PopStyleVar();
            ViewContext ctx{app, view, actions, panel, services};
            draw_settings_window(ctx);
            const ImVec2 p = ImGui::GetWindowPos(), s = ImGui::GetWindowSize();
            r = {p.x, p.y, p.x + s.x, p.y + s.y};
            ImGui::End();
        }, false);
        return r;
    }
    // The window's height once its size has settled.
    float settled_height() {
        for (int i = 0; i < 3; ++i) window_frame();
        return window_frame().height();
    }

    TempDir dir;
    ScopedEnv roaming{"APPDATA", (dir.path() / "roaming").string()};
    ScopedEnv local{"LOCALAPPDATA", (dir.path() / "local").string()};
    fs::path history = dir.path() / "History";
    App app;
    FrameView view;
    PanelActions actions;
    PlacedPanel panel;
    FakeDialogs dialogs;
    ViewServices services{nullptr, &dialogs};
    std::vector<Played> played;

private:
    AlertSoundPlayer saved_player_;
};

TEST_F(SettingsWindowTest, ToggleRowFlipsOnAClickAnywhereOnIt) {
    bool value = false;
    const auto row = [&] { draw_settings_toggle_row(value, "Resume where I left off", "description"); };
    click_piece(ImVec2(300, 120), row);  // on the title side, far from the switch
    EXPECT_TRUE(value);
    click_piece(ImVec2(1380, 124), row);  // on the switch
    EXPECT_FALSE(value);
    click_piece(ImVec2(300, 152), row);  // below the 48-high row
    EXPECT_FALSE(value);
}

TEST_F(SettingsWindowTest, VolumeDragPreviewsOnceWhenItEnds) {
    // Row 32 high: the 240 x 28 slider starts after the 56 label and 8 of
    // spacing, 2 down; its track runs from 175.5 to 392.5 at y 116.
    app.sound_choice = SoundChoice::builtin_sound(1);
    app.sound_volume = 70;
    const auto row = [&] { draw_volume_row(app); };
    piece_frame({300, 116}, false, row);
    piece_frame({300, 116}, true, row);
    piece_frame({120, 116}, true, row);
    piece_frame({20, 300}, true, row);  // far left, and off the slider
    EXPECT_EQ(app.sound_volume, 0);
    EXPECT_TRUE(played.empty());  // not while dragging
    piece_frame({20, 300}, false, row);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].volume, 0);
    EXPECT_EQ(played[0].choice, SoundChoice::builtin_sound(1));

    piece_frame({200, 116}, true, row);
    piece_frame({1000, 116}, true, row);
    piece_frame({1000, 116}, false, row);
    EXPECT_EQ(app.sound_volume, 100);
    EXPECT_EQ(played.size(), 2u);

    // A click without a drag sets the volume there and previews once.
    click_piece({284, 116}, row);
    EXPECT_EQ(app.sound_volume, 50);
    ASSERT_EQ(played.size(), 3u);
    EXPECT_EQ(played[2].volume, 50);
}

TEST_F(SettingsWindowTest, VolumeSliderIsInertForFileSounds) {
    app.sound_choice = SoundChoice::wav_file("/m/chord.wav");
    app.sound_volume = 70;
    const auto row = [&] { draw_volume_row(app); };
    piece_frame({300, 116}, false, row);
    piece_frame({300, 116}, true, row);
    piece_frame({180, 116}, true, row);
    piece_frame({180, 116}, false, row);
    click_piece({380, 116}, row);
    EXPECT_EQ(app.sound_volume, 70);
    EXPECT_TRUE(played.empty());
}

// Drives the sound row's combo box: opens it, then clicks entry `n` (0 is
// the first entry under "BUILT IN") of the popup, whose sections are listed
// in `sections` as entry counts.
class SoundPickerTest : public SettingsWindowTest {
protected:
    void pick_entry(const std::vector<int>& sections, int n, SystemDialogs* with = nullptr) {
        const auto row = [&] {
            std::optional<SoundChoice> picked;
            draw_sound_choice_row(app, with, picked);
            if (picked) {
                app.sound_choice = *picked;
                preview_alert_sound(app);
            }
        };
        click_piece({250, 116}, row);  // the combo box: 250 wide from x 164
        piece_frame({0, 0}, false, row);
        ImGuiContext& g = *GImGui;
        ASSERT_FALSE(g.OpenPopupStack.empty());
        const ImVec2 base = g.OpenPopupStack.back().Window->DC.CursorStartPos;

        // Headings, then entries 32 high, all 8 apart (the popup keeps the
        // theme's spacing), and 6 more before each later section.
        const float heading = layout_text("BUILT IN", {FontFamily::Semibold, 10.5f}, {}).size.y;
        constexpr float entry = 32;
        float y = base.y;
        int index = 0;
        for (std::size_t s = 0; s <= sections.size(); ++s) {
            if (s > 0) y += 6;                        // the space before a section
            if (s < sections.size()) y += heading + 8;  // the last one is "Choose a WAV file…"
            const int count = s < sections.size() ? sections[s] : 1;
            for (int i = 0; i < count; ++i, ++index) {
                if (index == n) {
                    click_piece({base.x + 30, y + entry / 2}, row);
                    return;
                }
                y += entry + 8;
            }
        }
        FAIL() << "no entry " << n;
    }
};

// The picker's texts take the theme's colours: the selected entry the
// selection's accent, the others the widget text, "Choose a WAV file…" its
// own orange, the headings the dim grey; the open box has the open look.
TEST_F(SoundPickerTest, PickerColours) {
    app.sound_choice = SoundChoice::builtin_sound(2);
    const auto row = [&] {
        std::optional<SoundChoice> picked;
        draw_sound_choice_row(app, nullptr, picked);
    };
    click_piece({250, 116}, row);
    piece_frame({0, 0}, false, row);
    ImGuiContext& g = *GImGui;
    ASSERT_FALSE(g.OpenPopupStack.empty());
    const ImVec2 white_uv = ImGui::GetIO().Fonts->TexUvWhitePixel;
    std::set<ImU32> text_colours;
    for (const ImDrawVert& v : g.OpenPopupStack.back().Window->DrawList->VtxBuffer)
        if (v.uv.x != white_uv.x || v.uv.y != white_uv.y) text_colours.insert(v.col);
    const std::set<ImU32> want = {to_imu32(rgb(255, 90, 15)), to_imu32(rgb(240, 240, 240)),
                                  to_imu32(rgb(255, 106, 38)), to_imu32(rgb(110, 110, 110))};
    EXPECT_EQ(text_colours, want);

    // The box itself is outlined in the accent while its popup is open.
    bool accent_outline = false;
    for (const ImDrawVert& v : g.OpenPopupStack.back().SourceWindow->DrawList->VtxBuffer)
        accent_outline |= v.col == to_imu32(rgb(255, 90, 15));
    EXPECT_TRUE(accent_outline);
}

TEST_F(SoundPickerTest, PickingPlaysEvenTheSameSoundAgain) {
    pick_entry({4}, 2);
    EXPECT_EQ(app.sound_choice, SoundChoice::builtin_sound(2));
    pick_entry({4}, 2);
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[1].choice, SoundChoice::builtin_sound(2));
}

TEST_F(SoundPickerTest, CustomGroupShowsOnlyForAFileOutsideTheSystemSounds) {
    app.windows_sounds = {"/m/a.wav", "/m/b.wav"};
    app.sound_choice = SoundChoice::wav_file("/c/mine.wav");
    // BUILT IN 4, WINDOWS 2, CUSTOM 1: entry 6 is the custom one, which does nothing.
    pick_entry({4, 2, 1}, 6);
    EXPECT_EQ(app.sound_choice, SoundChoice::wav_file("/c/mine.wav"));
    EXPECT_TRUE(played.empty());
    pick_entry({4, 2, 1}, 5);
    EXPECT_EQ(app.sound_choice, SoundChoice::wav_file("/m/b.wav"));
    ASSERT_EQ(played.size(), 1u);
    // Now no CUSTOM group: entry 6 is "Choose a WAV file…".
    dialogs.wav_answer = fs::path("/c/new alert.wav");
    pick_entry({4, 2}, 6, &dialogs);
    EXPECT_EQ(dialogs.wav_calls, 1);
    EXPECT_EQ(app.sound_choice, SoundChoice::wav_file("/c/new alert.wav"));
    EXPECT_EQ(played.size(), 2u);
}

TEST_F(SoundPickerTest, WavDialogCancelOrControlCharacterKeepsTheChoice) {
    app.sound_choice = SoundChoice::builtin_sound(1);
    struct Case {
        std::optional<fs::path> answer;
    } cases[] = {{std::nullopt}, {fs::path("/c/evil\nsound_on=false.wav")}, {fs::path("/c/c1\xC2\x85.wav")}};
    for (const Case& c : cases) {
        dialogs.wav_answer = c.answer;
        pick_entry({4}, 4, &dialogs);
    }
    EXPECT_EQ(dialogs.wav_calls, 3);
    EXPECT_EQ(app.sound_choice, SoundChoice::builtin_sound(1));
    EXPECT_TRUE(played.empty());
    pick_entry({4}, 4, nullptr);  // no dialogs at all: nothing
    EXPECT_EQ(app.sound_choice, SoundChoice::builtin_sound(1));
}

class FolderRowTest : public SettingsWindowTest {
protected:
    std::optional<fs::path> picked;
    void row() { draw_history_folder_row(*app.shared, app.history_dir_text, &dialogs, picked); }
    // Buttons, each its text plus 20 wide and 8 apart, 30 high in a 32 row,
    // follow the field; the field leaves them 190, or all they need.
    ImVec2 button_centre(int which) {
        const char* texts[] = {"Browse\u2026", "Open", "Default"};
        float w[3], room = 0;
        for (int i = 0; i < 3; ++i) {
            w[i] = layout_text(texts[i], {FontFamily::Medium, 12.5f}, {}).size.x + 20;
            room += w[i] + 8;
        }
        float x = 100 + 1300 - std::max(190.0f, room) + 8;
        for (int i = 0; i < which; ++i) x += w[i] + 8;
        return {x + w[which] / 2, 116};
    }
    void click(ImVec2 at) {
        picked.reset();
        click_piece(at, [&] { row(); });
    }
};

TEST_F(FolderRowTest, BrowseStartsInTheFolderInUseAndCreatesIt) {
    dialogs.folder_answer = fs::path("/picked/History");
    click(button_centre(0));
    ASSERT_EQ(dialogs.folder_starts.size(), 1u);
    EXPECT_EQ(dialogs.folder_starts[0], history);
    EXPECT_TRUE(fs::is_directory(history));
    EXPECT_EQ(picked, fs::path("/picked/History"));

    dialogs.folder_answer.reset();  // cancelled
    click(button_centre(0));
    EXPECT_EQ(picked, std::nullopt);
}

TEST_F(FolderRowTest, OpenShowsTheFolderInUseAndDefaultPicksTheDefault) {
    click(button_centre(1));
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0], history);
    EXPECT_TRUE(fs::is_directory(history));
    EXPECT_EQ(picked, std::nullopt);

    click(button_centre(2));
    EXPECT_EQ(picked, default_history_dir());
    EXPECT_EQ(picked, dir.path() / "local" / "Corvane" / "History");
}

TEST_F(FolderRowTest, TypedFolderIsPickedWhenTheFieldLetsGo) {
    ImGuiIO& io = ImGui::GetIO();
    const int saved_escape = io.KeyMap[ImGuiKey_Escape];
    io.KeyMap[ImGuiKey_Escape] = 300;
    const auto frame = [&](ImVec2 at, bool down) { piece_frame(at, down, [&] { row(); }); };

    // Click into the field, clear it, type, then Escape: the text typed stays
    // (ImGui would revert it) and becomes the picked folder.
    app.history_dir_text.clear();
    click({300, 116});
    // The field being edited is outlined in the accent.
    ASSERT_NE(GImGui->ActiveIdWindow, nullptr);
    bool accent_outline = false;
    for (const ImDrawVert& v : GImGui->ActiveIdWindow->DrawList->VtxBuffer)
        accent_outline |= v.col == to_imu32(rgb(255, 90, 15));
    EXPECT_TRUE(accent_outline);
    io.AddInputCharactersUTF8("  /typed/History ");
    frame({300, 116}, false);
    EXPECT_EQ(picked, std::nullopt);  // still typing
    io.KeysDown[300] = true;
    frame({300, 116}, false);
    io.KeysDown[300] = false;
    frame({300, 116}, false);
    EXPECT_EQ(app.history_dir_text, "  /typed/History ");
    EXPECT_EQ(picked, fs::path("/typed/History"));

    // Tab lets go of the field too, and it stays let go. The folder keeps
    // every character, those beyond U+FFFF too.
    const int saved_tab = io.KeyMap[ImGuiKey_Tab];
    io.KeyMap[ImGuiKey_Tab] = 301;
    app.history_dir_text = "/tab/\U0001F4C1 History";
    click({300, 116});
    EXPECT_EQ(picked, std::nullopt);
    io.KeysDown[301] = true;
    frame({300, 116}, false);
    io.KeysDown[301] = false;
    EXPECT_EQ(app.history_dir_text, "/tab/\U0001F4C1 History");
    EXPECT_EQ(picked, fs::path("/tab/\U0001F4C1 History"));
    frame({300, 116}, false);
    EXPECT_EQ(GImGui->ActiveId, 0u);
    io.KeyMap[ImGuiKey_Tab] = saved_tab;

    // A blank text picks nothing when the field loses focus to a click elsewhere.
    app.history_dir_text = "   ";
    click({300, 116});
    click({300, 500});
    EXPECT_EQ(picked, std::nullopt);
    EXPECT_EQ(app.history_dir_text, "   ");

    io.KeyMap[ImGuiKey_Escape] = saved_escape;
}

// The cursor of the field being edited: 2 wide, the font's height, in
// 192,222,255, on for 0.5 s and off for 0.5 s from the click, with a frame
// asked for at each change; ImGui's own cursor never shows.
TEST_F(FolderRowTest, TheTextCursorBlinksInTheThemesLook) {
    ImGuiIO& io = ImGui::GetIO();
    const ImU32 cursor_colour = IM_COL32(192, 222, 255, 255);
    const ImVec2 white = io.Fonts->TexUvWhitePixel;
    struct Seen {
        bool ours = false;
        float width = 0, height = 0;
        bool imgui_line = false;
    };
    const auto look = [&](const ImDrawData* data) {
        Seen seen;
        ImVec2 lo(FLT_MAX, FLT_MAX), hi(-FLT_MAX, -FLT_MAX);
        for (int l = 0; l < data->CmdListsCount; ++l)
            for (const ImDrawVert& v : data->CmdLists[l]->VtxBuffer) {
                if (v.col == cursor_colour) {
                    seen.ours = true;
                    lo = ImMin(lo, v.pos);
                    hi = ImMax(hi, v.pos);
                }
                // The field's text colour, 240,240,240, drawn as a line.
                seen.imgui_line |= v.col == IM_COL32(240, 240, 240, 255) && v.uv.x == white.x && v.uv.y == white.y;
            }
        seen.width = hi.x - lo.x;
        seen.height = hi.y - lo.y;
        return seen;
    };
    // Frames 0.125 s apart, whole binary steps, so the edges are exact: the
    // click's press frame ends 0.125 s into the cursor's time, its release
    // frame 0.25 s. On below 0.5 s, off below 1 s, on again.
    io.DeltaTime = 0.125f;
    app.history_dir_text = "/h/History";
    click({300, 116});
    const float font_px = font({FontFamily::Monospace, 12})->FontSize;
    const auto frame = [&](ImVec2 at) {
        return look(test::run_frame(at, false, [&] {
            ImGui::SetCursorScreenPos(ImVec2(100, 100));
            row();
        }));
    };
    for (double since = 0.375; since <= 1.75; since += 0.125) {
        take_timed_frame_request();
        const Seen seen = frame({300, 116});
        const bool on = std::fmod(since, 1.0) < 0.5;
        EXPECT_EQ(seen.ours, on) << since;
        EXPECT_FALSE(seen.imgui_line) << since;
        if (seen.ours) {
            EXPECT_FLOAT_EQ(seen.width, 2.0f);
            EXPECT_FLOAT_EQ(seen.height, font_px);
        }
        const double edge = on ? 0.5 - std::fmod(since, 0.5) : 1.0 - std::fmod(since, 1.0);
        EXPECT_NEAR(take_timed_frame_request(), edge, 1e-5) << since;
    }
    // Typing starts it over, on.
    io.AddInputCharactersUTF8("x");
    EXPECT_TRUE(frame({300, 116}).ours);
    // A field let go shows no cursor and asks for no frames.
    click({300, 500});
    take_timed_frame_request();
    EXPECT_FALSE(frame({300, 500}).ours);
    EXPECT_LT(take_timed_frame_request(), 0.0);
}

TEST_F(SettingsWindowTest, DoneAndCloseButtonRequestTheClose) {
    settled_height();
    const Rect w = window_frame();
    // "Done" is at the content's bottom right, the close button at its top right.
    const ImVec2 done(w.right - 24 - 42, w.bottom - 24 - 16);
    const ImVec2 close(w.right - 24 - 14, w.top + 24 + 16);
    for (ImVec2 at : {done, close}) {
        actions = PanelActions{};
        window_frame(at, false);
        window_frame(at, true);
        EXPECT_FALSE(actions.settings_done);
        window_frame(at, false);
        EXPECT_TRUE(actions.settings_done) << at.x << "," << at.y;
    }
    actions = PanelActions{};
    window_frame({w.left + 50, w.bottom - 30}, true);
    window_frame({w.left + 50, w.bottom - 30}, false);
    EXPECT_FALSE(actions.settings_done);
}

TEST_F(SettingsWindowTest, RowsAndNotesComeAndGoWithTheirSettings) {
    const float full = settled_height();
    app.sound_on = false;
    // The sound and volume rows (32 each, with spacing 6) and the space of 4.
    EXPECT_FLOAT_EQ(full - settled_height(), 80);
    app.sound_on = true;
    EXPECT_FLOAT_EQ(settled_height(), full);

    app.resume = false;  // the note about opening with nothing running
    EXPECT_GT(settled_height(), full + 6);
    app.resume = true;

    app.save_history = false;  // and no file yet: no history note
    EXPECT_LT(settled_height(), full - 6);
}

}  // namespace
}  // namespace corvane
