#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "main/app.h"
#include "main/settings_file.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class AppSettings : public ::testing::Test {
protected:
    void SetUp() override {
        app_.trace_tabs.push_back(new_trace_tab(""));
        app_.shared->set_history_dir(dir_.path() / "history");
        app_.history_dir_text = (dir_.path() / "history").string();
        // What start-up leaves: the loaded record's text, not the file's.
        app_.last_saved_settings = format_settings_ini(live_settings(app_));
    }

    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
    test::ScopedEnv localappdata_{"LOCALAPPDATA", dir_.path().string()};
    App app_;
};

TEST_F(AppSettings, WritesOnlyWhenTheTextChanges) {
    const fs::path ini = settings_ini_path();
    save_settings_if_changed(app_, live_settings(app_));
    EXPECT_FALSE(fs::exists(ini));

    app_.sound_on = false;
    save_settings_if_changed(app_, live_settings(app_));
    ASSERT_TRUE(fs::exists(ini));
    EXPECT_EQ(test::read_file(ini), app_.last_saved_settings);
    EXPECT_NE(app_.last_saved_settings.find("\nsound=false\n"), std::string::npos);

    // The comparison is with the last text written, not with the disk.
    fs::remove(ini);
    save_settings_if_changed(app_, live_settings(app_));
    EXPECT_FALSE(fs::exists(ini));
}

TEST_F(AppSettings, AFailedWriteIsRetriedLater) {
    const fs::path ini = settings_ini_path();
    const std::string before = app_.last_saved_settings;
    // A file where the folder should be: neither the folder nor the file
    // can be made.
    std::ofstream(ini.parent_path()) << "in the way";

    app_.utc = true;
    save_settings_if_changed(app_, live_settings(app_));
    EXPECT_EQ(app_.last_saved_settings, before);

    fs::remove(ini.parent_path());
    save_settings_if_changed(app_, live_settings(app_));
    ASSERT_TRUE(fs::exists(ini));
    EXPECT_NE(test::read_file(ini).find("\nutc=true\n"), std::string::npos);
    EXPECT_EQ(app_.last_saved_settings, test::read_file(ini));
}

// The per-frame save looks at the live state without formatting it: every
// saved field must still be noticed, an unchanged frame writes nothing, and a
// failed write is tried again at the next frame.
TEST_F(AppSettings, FrameSaveNoticesEverySavedFieldAndRetries) {
    app_.trace_tabs = {new_trace_tab("a"), new_trace_tab("b")};
    app_.watch_tabs = {new_watch_tab("Office"), new_watch_tab("Lab")};
    app_.recent = {"a", "b"};
    const fs::path ini = settings_ini_path();
    auto_save_settings(app_);
    ASSERT_EQ(test::read_file(ini), format_settings_ini(live_settings(app_)));

    const std::pair<const char*, std::function<void(App&)>> changes[] = {
        {"target edited", [](App& a) { a.trace_tabs[1].target += "x"; }},
        {"tab added", [](App& a) { a.trace_tabs.push_back(new_trace_tab("c")); }},
        {"active tab", [](App& a) { a.active_trace = 1; }},
        {"probe interval", [](App& a) { a.shared->set_probe_ms(5000); }},
        {"route interval", [](App& a) { a.shared->set_route_secs(0); }},
        {"layout", [](App& a) { a.layout_mode = LayoutMode::Signal; }},
        {"chart window", [](App& a) { a.window_secs = 600; }},
        {"sound", [](App& a) { a.sound_on = false; }},
        {"sound choice", [](App& a) { a.sound_choice = SoundChoice::wav_file("/tmp/a.wav"); }},
        {"volume", [](App& a) { a.sound_volume = 20; }},
        {"flash", [](App& a) { a.flash_on = false; }},
        {"save history", [](App& a) { a.save_history = false; }},
        {"history folder", [](App& a) { a.shared->set_history_dir("/tmp/elsewhere"); }},
        {"utc", [](App& a) { a.utc = true; }},
        {"maximized", [](App& a) { a.maximized = false; }},
        {"resume", [](App& a) { a.resume = false; }},
        {"view mode", [](App& a) { a.view_mode = ViewMode::Watch; }},
        {"list renamed", [](App& a) { a.watch_tabs[0].name = "Branch"; }},
        {"active list", [](App& a) { a.active_watch = 1; }},
        {"recent target edited", [](App& a) { a.recent[1] = "z"; }},
    };
    for (const auto& [what, change] : changes) {
        change(app_);
        auto_save_settings(app_);
        EXPECT_EQ(test::read_file(ini), format_settings_ini(live_settings(app_))) << what;
    }

    fs::remove(ini);
    auto_save_settings(app_);
    EXPECT_FALSE(fs::exists(ini));

    fs::remove_all(ini.parent_path());
    std::ofstream(ini.parent_path()) << "in the way";
    app_.utc = false;
    auto_save_settings(app_);
    fs::remove(ini.parent_path());
    auto_save_settings(app_);  // nothing changed since, but nothing was saved
    EXPECT_EQ(test::read_file(ini), format_settings_ini(live_settings(app_)));
}

TEST_F(AppSettings, AnUnreadableFileIsKeptBeforeTheFirstSave) {
    const fs::path ini = settings_ini_path();
    fs::create_directories(ini.parent_path());
    const std::string latin1 = "history_dir=/home/caf\xe9\n";
    std::ofstream(ini, std::ios::binary) << latin1;
    app_.keep_settings_backup = load_settings_file(ini).keep_unreadable_file;
    ASSERT_TRUE(app_.keep_settings_backup);

    app_.flash_on = false;
    save_settings_if_changed(app_, live_settings(app_));
    EXPECT_EQ(test::read_file(settings_backup_path(ini)), latin1);
    EXPECT_EQ(test::read_file(ini), app_.last_saved_settings);
    EXPECT_FALSE(app_.keep_settings_backup);
}

// Without its backup the unreadable file is not replaced, and the backup is
// tried once per change of the settings, not at every frame.
TEST_F(AppSettings, ABackupThatCannotBeMadeIsTriedOncePerChange) {
    const fs::path ini = settings_ini_path();
    fs::create_directories(ini);  // neither linked nor copied: no backup
    app_.keep_settings_backup = true;
    app_.flash_on = false;
    EXPECT_FALSE(save_settings_if_changed(app_, live_settings(app_)));

    fs::remove(ini);
    std::ofstream(ini, std::ios::binary) << "caf\xe9";
    EXPECT_FALSE(save_settings_if_changed(app_, live_settings(app_)));
    EXPECT_FALSE(fs::exists(settings_backup_path(ini)));
    EXPECT_EQ(test::read_file(ini), "caf\xe9");

    app_.utc = true;
    EXPECT_TRUE(save_settings_if_changed(app_, live_settings(app_)));
    EXPECT_EQ(test::read_file(settings_backup_path(ini)), "caf\xe9");
    EXPECT_EQ(test::read_file(ini), app_.last_saved_settings);
}

TEST_F(AppSettings, SavedActiveTabCountsOnlyWrittenTabs) {
    app_.trace_tabs = {new_trace_tab("a"), new_trace_tab("  "), new_trace_tab(" b ")};
    app_.active_trace = 2;
    const Settings s = live_settings(app_);
    EXPECT_EQ(s.tabs, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(s.active_tab, 1u);
}

TEST_F(AppSettings, HistoryFolderWithControlCharactersIsRefused) {
    const fs::path good = dir_.path() / "caf\xc3\xa9 logs";
    EXPECT_TRUE(set_history_dir(app_, good));
    EXPECT_EQ(app_.history_dir_text, good.string());
    EXPECT_EQ(app_.shared->history_dir(), good);
    EXPECT_FALSE(fs::exists(good));  // created by the first history file, not here

    for (const char* bad : {"/tmp/a\nsound=false", "/tmp/a\r", "/tmp/\tx", "/tmp/\x7f", "/tmp/\xc2\x85x"}) {
        EXPECT_FALSE(set_history_dir(app_, bad)) << bad;
        EXPECT_EQ(app_.history_dir_text, good.string());
        EXPECT_EQ(app_.shared->history_dir(), good);
    }

    // What was accepted is read back as it was written.
    save_settings_if_changed(app_, live_settings(app_));
    Settings read = default_settings();
    parse_settings_ini(test::read_file(settings_ini_path()), read);
    EXPECT_EQ(read.history_dir, good);
}

}  // namespace
}  // namespace corvane
