#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "main/app_update.h"
#include "main/atomic_file.h"
#include "main/list_editor_save.h"
#include "main/saved_lists.h"
#include "platform/os_error.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class ListSave : public ::testing::Test {
protected:
    void SetUp() override {
        app_.shared->save_history = false;
        app_.shared->set_history_dir(dir_.path() / "history");
        echo_.set_route(Ipv4Addr(10, 3, 0, 1), test::scripted_route({}));
        echo_.set_route(Ipv4Addr(10, 3, 0, 2), test::scripted_route({}));
    }
    void TearDown() override {
        for (auto& t : app_.watch_tabs) stop_watch_tab(t);
        EXPECT_TRUE(test::wait_until([&] { return echo_.handles_open() == 0; }));
        EXPECT_TRUE(test::wait_until([&] { return test::process_thread_count() <= threads_before_; }));
    }
    void put_list(const std::string& file, const std::string& text) {
        fs::create_directories(lists_dir());
        std::ofstream(lists_dir() / file, std::ios::binary) << text;
        app_.saved_list_names = list_saved_list_files();
    }
    // Opens a saved list in the editor, as the list library does.
    void edit(const std::string& name) { open_list_editor(app_, name); }
    std::vector<std::string> files() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(lists_dir(), ec)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    void expect_message(const std::string& text, Color32 color) {
        EXPECT_EQ(app_.editor_message, text);
        EXPECT_EQ(app_.editor_message_color, color);
    }

    int threads_before_ = test::baseline_thread_count();
    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
    test::ScopedEnv localappdata_{"LOCALAPPDATA", dir_.path().string()};
    test::ScriptedEcho echo_{20ms};
    test::ScriptedNames names_;
    App app_;
};

TEST_F(ListSave, RefusalsLeaveEverythingAsItWas) {
    put_list("a_b.txt", "10.3.0.1\n");
    put_list("Edge.txt", "10.3.0.2\n");
    struct Case {
        std::optional<std::string> saved;  // the list open in the editor
        std::string name, text, message;
    };
    const Case cases[] = {
        {{}, "", "10.3.0.1", "Give the list a name first."},
        {{}, " \t ", "10.3.0.1", "Give the list a name first."},
        {{}, ".", "10.3.0.1", "Give the list a name first."},    // would be ".txt"
        {{}, " .. ", "10.3.0.1", "Give the list a name first."},
        {{}, "Lab", "", "Paste at least one address or host name."},
        {{}, "Lab", "# just a note\n , ;\r\n", "Paste at least one address or host name."},
        {{}, " A/B ", "10.3.0.9", "A list named A/B already exists."},  // same file a_b.txt
        {{}, "a_b", "10.3.0.9", "A list named a_b already exists."},
        {"Edge", "a:b", "10.3.0.9", "A list named a:b already exists."},  // renaming onto another list
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app_.editor_saved_name = c.saved;
        app_.editor_name = c.name;
        app_.editor_text = c.text;
        app_.editor_message = "Saved.";
        EXPECT_FALSE(save_list_from_editor(app_));
        expect_message(c.message, kMessageRed);
        EXPECT_EQ(app_.editor_name, c.name);
        EXPECT_EQ(app_.editor_saved_name, c.saved);
        EXPECT_EQ(files(), (std::vector<std::string>{"Edge.txt", "a_b.txt"}));
        EXPECT_EQ(read_list_file("a_b"), "10.3.0.1\n");
        EXPECT_EQ(read_list_file("Edge"), "10.3.0.2\n");
    }
}

TEST_F(ListSave, ANewListIsWrittenExactlyAsTyped) {
    app_.editor_name = "  Lab  ";
    app_.editor_text = "10.3.0.1 core\r\n# note\n";
    EXPECT_TRUE(save_list_from_editor(app_));
    expect_message("Saved.", kMessageGreen);
    EXPECT_EQ(app_.editor_name, "Lab");
    EXPECT_EQ(app_.editor_saved_name, "Lab");
    EXPECT_EQ(app_.saved_list_names, (std::vector<std::string>{"Lab"}));
    EXPECT_EQ(test::read_file(lists_dir() / "Lab.txt"), "10.3.0.1 core\r\n# note\n");

    // Saving it again unchanged is no duplicate.
    EXPECT_TRUE(save_list_from_editor(app_));
    EXPECT_EQ(files(), (std::vector<std::string>{"Lab.txt"}));
}

TEST_F(ListSave, ARenameMovesTheFileAndTheOpenTab) {
    put_list("Office.txt", "10.3.0.1\n");
    app_.watch_tabs.push_back(new_watch_tab("office"));  // stopped
    edit("Office");
    app_.editor_name = "Branch";
    app_.editor_text = "10.3.0.2\n";
    EXPECT_TRUE(save_list_from_editor(app_));
    EXPECT_EQ(files(), (std::vector<std::string>{"Branch.txt"}));
    EXPECT_EQ(app_.watch_tabs[0].name, "Branch");
    EXPECT_TRUE(app_.watch_tabs[0].stop->load());  // a stopped tab stays stopped
    EXPECT_EQ(app_.saved_list_names, (std::vector<std::string>{"Branch"}));
    EXPECT_EQ(app_.editor_saved_name, "Branch");
}

TEST_F(ListSave, ACaseOnlyChangeKeepsOneFile) {
    put_list("office.txt", "10.3.0.1\n");
    edit("office");
    app_.editor_name = "Office";
    app_.editor_text = "10.3.0.2\n";
    EXPECT_TRUE(save_list_from_editor(app_));
    EXPECT_EQ(files(), (std::vector<std::string>{"office.txt"}));
    EXPECT_EQ(read_list_file("OFFICE"), "10.3.0.2\n");
    EXPECT_EQ(app_.editor_saved_name, "Office");
}

TEST_F(ListSave, ARunningTabWatchesTheNewContent) {
    put_list("Lab.txt", "10.3.0.1\n");
    open_watch_list(app_, "lab");
    const SharedTraceState before = app_.watch_tabs[0].state;
    edit("Lab");
    app_.editor_text = "10.3.0.1\n10.3.0.2 edge\n";
    EXPECT_TRUE(save_list_from_editor(app_));
    const WatchTab& tab = app_.watch_tabs[0];
    EXPECT_NE(tab.state, before);
    EXPECT_FALSE(tab.stop->load());
    std::lock_guard lock(tab.state->mutex);
    ASSERT_EQ(tab.state->state.hops.size(), 2u);
    EXPECT_EQ(tab.state->state.hops[1].label, "edge");
}

TEST_F(ListSave, AFailedWriteKeepsTheOldFile) {
    put_list("Lab.txt", "10.3.0.1\n");
    edit("Lab");
    app_.editor_name = "Lab";
    app_.editor_text = "10.3.0.2\n";
    // The temporary file cannot be made where a folder stands.
    fs::create_directory(temporary_path_for(lists_dir() / "Lab.txt"));
    EXPECT_FALSE(save_list_from_editor(app_));
    expect_message("Could not save: Is a directory (os error 21)", kMessageRed);
    EXPECT_EQ(test::read_file(lists_dir() / "Lab.txt"), "10.3.0.1\n");
    EXPECT_EQ(app_.editor_text, "10.3.0.2\n");

    // A failed rename removes nothing either.
    app_.editor_name = "Other";
    fs::create_directory(temporary_path_for(lists_dir() / "Other.txt"));
    EXPECT_FALSE(save_list_from_editor(app_));
    EXPECT_EQ(test::read_file(lists_dir() / "Lab.txt"), "10.3.0.1\n");
    EXPECT_EQ(app_.editor_saved_name, "Lab");
    EXPECT_EQ(app_.saved_list_names, (std::vector<std::string>{"Lab"}));
}

// A list file the editor can't show whole is never replaced by a save under
// its name: the editor tells why when it opens and when a save is refused. A
// new name saves a new list, and the file and its tab stay as they were.
TEST_F(ListSave, AFileTheEditorCannotShowWholeIsNeverReplaced) {
    put_list("Nul.txt", std::string("10.3.0.1 one") + '\0' + "hidden\n10.3.0.2 two\n");
    put_list("Latin.txt", "10.3.0.1 caf\xe9\n");
    put_list("Huge.txt", "");
    fs::resize_file(lists_dir() / "Huge.txt", kMaxListFileBytes + 1);  // sparse: no disk used
    ASSERT_EQ(mkfifo((lists_dir() / "Pipe.txt").c_str(), 0600), 0);
    fs::create_symlink("/proc/self/mem", lists_dir() / "Mem.txt");  // opens, but its first read fails
    app_.saved_list_names = list_saved_list_files();
    const auto as_found = [](const fs::path& p) {
        const fs::file_status st = fs::symlink_status(p);
        if (st.type() == fs::file_type::symlink) return "link to " + fs::read_symlink(p).string();
        if (st.type() != fs::file_type::regular) return std::string("not a regular file");
        return fs::file_size(p) > 4096 ? std::to_string(fs::file_size(p)) + " bytes" : test::read_file(p);
    };

    struct Case {
        std::string name, shown, why;
    };
    const Case cases[] = {
        {"Nul", "10.3.0.1 one\uFFFDhidden\n10.3.0.2 two\n", "Nul.txt holds NUL bytes"},
        {"Latin", "10.3.0.1 caf\uFFFD\n", "Latin.txt is not UTF-8 text"},
        {"Huge", "", "Huge.txt is larger than 16 MB"},
        {"Pipe", "", "Pipe.txt is not a regular file"},
        {"Mem", "", "Mem.txt could not be read: " + os_error_text(EIO)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = lists_dir() / (c.name + ".txt");
        const std::string before = as_found(file);
        app_.watch_tabs = {new_watch_tab(c.name)};
        edit(c.name);
        EXPECT_EQ(app_.editor_text, c.shown);
        expect_message(c.why + ". A save would replace what it holds, so this list saves only under a new name.",
                       kMessageRed);

        app_.editor_text += "10.3.0.9 typed\n";
        for (const std::string& spelling : {c.name, " " + c.name + ". "}) {
            app_.editor_name = spelling;
            EXPECT_FALSE(save_list_from_editor(app_));
            expect_message("Not saved: " + c.why + ". Give the list a new name.", kMessageRed);
            EXPECT_EQ(as_found(file), before);
        }

        app_.editor_name = c.name + " copy";
        EXPECT_TRUE(save_list_from_editor(app_));
        EXPECT_EQ(test::read_file(lists_dir() / (c.name + " copy.txt")), app_.editor_text);
        EXPECT_EQ(as_found(file), before);
        EXPECT_EQ(app_.watch_tabs[0].name, c.name);
        // From now on the editor holds the copy, which saves as any list.
        app_.editor_text += "10.3.0.8\n";
        EXPECT_TRUE(save_list_from_editor(app_));
        EXPECT_EQ(test::read_file(lists_dir() / (c.name + " copy.txt")), app_.editor_text);
    }
}

TEST_F(ListSave, DeletingRemovesTheFileAndClosesItsTab) {
    put_list("Lab.txt", "10.3.0.1\n");
    put_list("Edge.txt", "10.3.0.2\n");
    app_.watch_tabs = {new_watch_tab("edge"), new_watch_tab("LAB")};
    app_.active_watch = 1;
    edit("lab");
    app_.editor_open = true;
    delete_saved_list(app_);
    EXPECT_EQ(files(), (std::vector<std::string>{"Edge.txt"}));
    ASSERT_EQ(app_.watch_tabs.size(), 1u);
    EXPECT_EQ(app_.watch_tabs[0].name, "edge");
    EXPECT_EQ(app_.active_watch, 0u);
    EXPECT_EQ(app_.saved_list_names, (std::vector<std::string>{"Edge"}));
    EXPECT_FALSE(app_.editor_open);

    // A new list in the editor: only the editor closes.
    app_.editor_saved_name.reset();
    app_.editor_name = "Edge";
    app_.editor_open = true;
    delete_saved_list(app_);
    EXPECT_EQ(files(), (std::vector<std::string>{"Edge.txt"}));
    EXPECT_EQ(app_.watch_tabs.size(), 1u);
    EXPECT_FALSE(app_.editor_open);

    // A folder that happens to be named like a list is listed, but never
    // removed.
    fs::create_directory(lists_dir() / "Notes.txt");
    app_.saved_list_names = list_saved_list_files();
    edit("Notes");
    delete_saved_list(app_);
    EXPECT_TRUE(fs::is_directory(lists_dir() / "Notes.txt"));
}

// A list file kept elsewhere through a link: saving changes the file it
// names; deleting removes the link from the folder, not the file.
TEST_F(ListSave, AListBehindALinkStaysLinked) {
    const fs::path real = dir_.path() / "shared" / "Lab.txt";
    fs::create_directories(real.parent_path());
    std::ofstream(real) << "10.3.0.1\n";
    fs::create_directories(lists_dir());
    fs::create_symlink(real, lists_dir() / "Lab.txt");
    app_.saved_list_names = list_saved_list_files();

    edit("Lab");
    app_.editor_text = "10.3.0.2\n";
    EXPECT_TRUE(save_list_from_editor(app_));
    EXPECT_TRUE(fs::is_symlink(lists_dir() / "Lab.txt"));
    EXPECT_EQ(test::read_file(real), "10.3.0.2\n");
    EXPECT_FALSE(fs::exists(temporary_path_for(real)));

    delete_saved_list(app_);
    EXPECT_TRUE(files().empty());
    EXPECT_EQ(test::read_file(real), "10.3.0.2\n");
}

}  // namespace
}  // namespace corvane
