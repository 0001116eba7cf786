// The zenity file picker, run against a stand-in zenity found on PATH.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "replay/file_picker.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using test::ScopedEnv;
using test::TempDir;

// A fake zenity that logs its arguments, prints `answer` and exits with `code`.
void install_fake_zenity(const std::filesystem::path& dir, const std::string& answer, int code) {
    const auto script = dir / "zenity";
    std::ofstream(script) << "#!/bin/sh\n"
                          << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << (dir / "args").string() << "'\n"
                          << "echo 'dconf noise' >&2\n"
                          << "printf '%s' '" << answer << "'\n"
                          << "exit " << code << "\n";
    ::chmod(script.c_str(), 0755);
}

TEST(ReplayPicker, AnswersCancelAndMissingDialog) {
    TempDir dir;
    ScopedEnv path("PATH", dir.path().string());
    ZenityFilePicker picker;

    install_fake_zenity(dir.path(), "/h/a b.csv\n", 0);
    EXPECT_EQ(picker.pick_history_file("/h/History"), std::filesystem::path("/h/a b.csv"));
    EXPECT_EQ(test::read_file(dir.path() / "args"),
              "--file-selection\n--title=Play back a Corvane history file\n"
              "--file-filter=Corvane history | *.csv\n--filename=/h/History/\n");

    // Attached to the window, the picker is modal to it.
    picker.attach_to(0x2a00007);
    EXPECT_EQ(picker.pick_history_file("/h/History"), std::filesystem::path("/h/a b.csv"));
    EXPECT_EQ(test::lines_of(test::read_file(dir.path() / "args")).at(1), "--modal");
    EXPECT_EQ(test::lines_of(test::read_file(dir.path() / "args")).at(2), "--attach=44040199");
    picker.attach_to(0);

    // Only the one closing line feed goes; one inside the name stays.
    install_fake_zenity(dir.path(), "/h/odd\n\n", 0);
    EXPECT_EQ(picker.pick_history_file("/h"), std::filesystem::path("/h/odd\n"));

    install_fake_zenity(dir.path(), "", 1);  // cancelled
    EXPECT_EQ(picker.pick_history_file("/h"), std::nullopt);
    install_fake_zenity(dir.path(), "/h/x.csv\n", 5);  // the dialog failed
    EXPECT_EQ(picker.pick_history_file("/h"), std::nullopt);

    std::filesystem::remove(dir.path() / "zenity");  // not installed
    EXPECT_EQ(picker.pick_history_file("/h"), std::nullopt);
}

}  // namespace
}  // namespace corvane
