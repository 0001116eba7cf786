// The zenity pickers and the xdg-open folder opener, run against stand-in
// programs put first on PATH.
#include "platform/system_dialogs.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/child_process.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using test::ScopedEnv;
using test::TempDir;
namespace fs = std::filesystem;

void install_script(const fs::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    ::chmod(path.c_str(), 0755);
}

// A fake zenity that logs one argument per line, writes noise to standard
// error, prints `answer` and exits with `code`.
void install_fake_zenity(const fs::path& dir, const std::string& answer, int code) {
    install_script(dir / "zenity", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + (dir / "args").string() +
                                       "'\n"
                                       "echo 'dconf noise' >&2\n"
                                       "printf '%s' '" + answer + "'\n"
                                       "exit " + std::to_string(code) + "\n");
}

// Waits (boundedly) for a file a background child writes.
bool wait_for_file(const fs::path& path) {
    for (int i = 0; i < 2000; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

struct DialogsTest : ::testing::Test {
    TempDir dir;
    // Only the fake's folder plus the one that holds sh's helpers (printf is
    // a shell builtin, touch and sleep are not).
    ScopedEnv path{"PATH", dir.path().string() + ":/usr/bin:/bin"};
    ZenitySystemDialogs dialogs;
};

TEST_F(DialogsTest, WavPickerArgumentsAndAnswers) {
    install_fake_zenity(dir.path(), "/s/my alert.wav\n", 0);
    EXPECT_EQ(dialogs.pick_wav_file(), fs::path("/s/my alert.wav"));
    // No start folder; the filter is named as the user sees it.
    EXPECT_EQ(test::read_file(dir.path() / "args"),
              "--file-selection\n--title=Choose an alert sound\n--file-filter=WAV sound | *.wav *.WAV\n");

    struct Case {
        const char* answer;
        int code;
        std::optional<fs::path> want;
    };
    const Case cases[] = {
        {"/s/odd\n\n", 0, fs::path("/s/odd\n")},  // only the closing line feed goes
        {"/s/no-newline.wav", 0, fs::path("/s/no-newline.wav")},
        {"\n", 0, std::nullopt},                  // an empty answer picks nothing
        {"", 1, std::nullopt},                    // cancelled
        {"/s/x.wav\n", 5, std::nullopt},          // the dialog failed
    };
    for (const Case& c : cases) {
        install_fake_zenity(dir.path(), c.answer, c.code);
        EXPECT_EQ(dialogs.pick_wav_file(), c.want) << c.answer << " exit " << c.code;
    }
}

// A descriptor the program left open across exec (files and sockets are not
// all close-on-exec) must not reach the dialog or the file manager, which may
// outlive the program.
TEST_F(DialogsTest, ChildrenGetNoDescriptorOfOurs) {
    const int fd = ::open(dir.path().c_str(), O_RDONLY);  // no O_CLOEXEC
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, 213), 213);
    ::close(fd);
    const std::string probe = "if [ -e /proc/$$/fd/213 ]; then echo leaked; else echo closed; fi";

    install_script(dir.path() / "zenity", probe + "\n");
    EXPECT_EQ(dialogs.pick_wav_file(), fs::path("closed"));

    install_script(dir.path() / "xdg-open", probe + " > '" + (dir.path() / "seen.tmp").string() + "'\nmv '" +
                                                (dir.path() / "seen.tmp").string() + "' '" +
                                                (dir.path() / "seen").string() + "'\n");
    dialogs.open_folder("/h");
    ASSERT_TRUE(wait_for_file(dir.path() / "seen"));
    EXPECT_EQ(test::read_file(dir.path() / "seen"), "closed\n");
    ::close(213);
}

TEST_F(DialogsTest, FolderPickerStartsInTheFolder) {
    install_fake_zenity(dir.path(), "/h/New History\n", 0);
    EXPECT_EQ(dialogs.pick_folder("/h/History"), fs::path("/h/New History"));
    EXPECT_EQ(test::read_file(dir.path() / "args"),
              "--file-selection\n--directory\n--title=Choose a folder for Corvane history\n"
              "--filename=/h/History/\n");

    // A slash already there is not doubled; arguments with quotes and
    // semicolons arrive untouched, as no shell sees them.
    EXPECT_EQ(dialogs.pick_folder("/h/it's; $(x)/"), fs::path("/h/New History"));
    EXPECT_EQ(test::lines_of(test::read_file(dir.path() / "args")).back(), "--filename=/h/it's; $(x)/");

    install_fake_zenity(dir.path(), "", 1);
    EXPECT_EQ(dialogs.pick_folder("/h"), std::nullopt);
}

// The window is served while the picker is open: the picker here answers
// only once that has happened (or after ten seconds, not to hang).
TEST_F(DialogsTest, PickersAreModalToTheWindow) {
    const fs::path served = dir.path() / "served";
    install_script(dir.path() / "zenity",
                   "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + (dir.path() / "args").string() +
                       "'\necho $$ > '" + (dir.path() / "pid").string() + "'\nfor i in $(seq 1000); do [ -e '" +
                       served.string() + "' ] && break; sleep 0.01; done\necho /s/a.wav\n");
    std::vector<int> pids;
    dialogs.attach_to(0x2a00007, [&](int pid) {
        pids.push_back(pid);
        std::ofstream(served) << pid;
    });
    EXPECT_EQ(dialogs.pick_wav_file(), fs::path("/s/a.wav"));
    EXPECT_EQ(test::read_file(dir.path() / "args"),
              "--file-selection\n--modal\n--attach=44040199\n--title=Choose an alert sound\n"
              "--file-filter=WAV sound | *.wav *.WAV\n");
    ASSERT_FALSE(pids.empty()) << "the window was not served while the picker was open";
    EXPECT_EQ(std::to_string(pids.front()) + "\n", test::read_file(dir.path() / "pid"));
    fs::remove(served);
    pids.clear();
    dialogs.pick_folder("/h");
    EXPECT_EQ(test::lines_of(test::read_file(dir.path() / "args")).at(2), "--attach=44040199");
    EXPECT_FALSE(pids.empty());
}

// SIGTERM while a picker is open: the handler ends the picker, with what it
// started, and the picker answers nothing; a picker asked for afterwards
// does not start. In a child process of its own, as the end is for good.
TEST_F(DialogsTest, EndingForExitEndsAnOpenPicker) {
    const fs::path args = dir.path() / "args";
    const fs::path sleeper = dir.path() / "sleeper";
    // Answers only after a minute, and its sleep is a process of its own.
    install_script(dir.path() / "zenity", "sleep 60 & echo $! > '" + sleeper.string() +
                                              "'\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                              args.string() + "'\nwait\necho /s/late.wav\n");
    EXPECT_EXIT(
        {
            struct sigaction sa {};
            sa.sa_handler = [](int) { end_pickers_for_exit(); };
            sigaction(SIGTERM, &sa, nullptr);
            std::thread signaller([&] {
                if (wait_for_file(args)) ::kill(::getpid(), SIGTERM);
            });
            const bool ended = !dialogs.pick_wav_file().has_value();
            signaller.join();
            fs::remove(args);
            const bool later_refused = !dialogs.pick_folder("/h").has_value() && !fs::exists(args);
            std::_Exit(ended && later_refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    // The script's sleep went with it (gone, or a zombie left to init).
    int pid = 0;
    std::ifstream(sleeper) >> pid;
    ASSERT_GT(pid, 0);
    const auto gone = [&] {
        std::string stat = test::read_file("/proc/" + std::to_string(pid) + "/stat");
        const std::size_t paren = stat.rfind(')');
        return paren == std::string::npos || stat.compare(paren, 3, ") Z") == 0;
    };
    for (int i = 0; i < 2000 && !gone(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(gone()) << "the picker's sleep " << pid << " lives on";
}

TEST_F(DialogsTest, MissingProgramsAreIgnored) {
    ScopedEnv empty_path("PATH", dir.path().string());  // neither zenity nor xdg-open there
    EXPECT_EQ(dialogs.pick_wav_file(), std::nullopt);
    EXPECT_EQ(dialogs.pick_folder("/h"), std::nullopt);
    dialogs.open_folder("/h");  // returns; nothing thrown or waited for
}

TEST_F(DialogsTest, OpenFolderDoesNotWaitForTheFileManager) {
    const fs::path release = dir.path() / "release";
    const fs::path done = dir.path() / "done";
    // Logs its arguments, then stays until the test lets it go.
    install_script(dir.path() / "xdg-open", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                (dir.path() / "args.tmp").string() + "'\n"
                                                "mv '" + (dir.path() / "args.tmp").string() + "' '" +
                                                (dir.path() / "args").string() + "'\n"
                                                "while [ ! -e '" + release.string() + "' ]; do sleep 0.01; done\n"
                                                "touch '" + done.string() + "'\n");

    dialogs.open_folder("/h/My History");
    // Returned while the child still waits for the release: not waited for.
    EXPECT_FALSE(fs::exists(done));
    ASSERT_TRUE(wait_for_file(dir.path() / "args"));
    EXPECT_EQ(test::read_file(dir.path() / "args"), "/h/My History\n");  // one argument, spaces kept

    std::ofstream(release) << "";
    EXPECT_TRUE(wait_for_file(done));
}

TEST_F(DialogsTest, OpenFolderNeverPassesAnOption) {
    install_script(dir.path() / "xdg-open", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                                (dir.path() / "args.tmp").string() + "'\n"
                                                "mv '" + (dir.path() / "args.tmp").string() + "' '" +
                                                (dir.path() / "args").string() + "'\n");
    dialogs.open_folder("--version");
    ASSERT_TRUE(wait_for_file(dir.path() / "args"));
    const std::string arg = test::lines_of(test::read_file(dir.path() / "args")).at(0);
    EXPECT_EQ(fs::path(arg), fs::current_path() / "--version");
}

}  // namespace
}  // namespace corvane
