// The text fields' editing shortcuts at the real window under other keyboard
// layouts: select all, copy, paste, undo and redo go by the letter a key
// types, as the program's own shortcuts do, not by where the key sits.
#include <ostream>
#include <string>
#include <vector>

#include "app_window_support.h"
#include "support/test_support.h"

namespace corvane::gui_test {
namespace {

struct Layout {
    const char* name;
    const char* setxkbmap;
};
void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.setxkbmap; }

class EditShortcuts : public AppWindow, public ::testing::WithParamInterface<Layout> {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        if (IsSkipped()) return;
        if (!have_xvfb_) GTEST_SKIP() << "the layout is switched on a display of the test's own only";
        for (const char* tool : {"xdotool", "setxkbmap"})
            if (!on_path(tool)) GTEST_SKIP() << tool << " is missing: no way to type into the window on a layout";
    }

    // The target as settings.ini saves it.
    static std::string target(const RunningApp& app) {
        for (const std::string& line : split(app.settings(), '\n'))
            if (line.rfind("tabs=", 0) == 0) return line.substr(5);
        return {};
    }
};

// The steps run in the target field, each ending with a letter of its own
// typed last, so that once the saved target holds that letter the step's
// keys have all been acted on.
TEST_P(EditShortcuts, FollowTheLayoutsLetters) {
    const fs::path root = prepare(GetParam().name, "");
    RunningApp app = start(root, "", GetParam().setxkbmap);
    ASSERT_TRUE(target_field_focused(app)) << "the field never took the click: " << app.log();

    struct Step {
        const char* keys;  // xdotool key arguments, before the letter
        char letter;
        const char* want;
    } steps[] = {
        {"", 'b', "b"},
        {"ctrl+q", 'c', "bc"},                    // nothing: fr and dvorak put Q where US has A and X
        {"ctrl+a ctrl+c", 'd', "d"},              // select all, copy, typed over
        {"ctrl+v", 'e', "dbce"},                  // pasted
        {"ctrl+z ctrl+y", 'f', "dbcef"},          // undo, redo: de swaps Z and Y
        {"ctrl+z ctrl+shift+z", 'g', "dbcefg"},   // undo, redo
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.keys) + " then " + s.letter);
        if (*s.keys != '\0') app.xdotool(std::string("key ") + s.keys);
        app.xdotool(std::string("type ") + s.letter);
        const bool arrived = eventually([&] { return target(app).find(s.letter) != std::string::npos; });
        ASSERT_TRUE(arrived) << "the typed letter never arrived: " << target(app) << app.log();
        ASSERT_EQ(target(app), s.want);
    }
    app.end_cleanly();
}

INSTANTIATE_TEST_SUITE_P(Layouts, EditShortcuts,
                         ::testing::Values(Layout{"fr", "setxkbmap fr"}, Layout{"de", "setxkbmap de"},
                                           Layout{"dvorak", "setxkbmap us -variant dvorak"}),
                         [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane::gui_test
