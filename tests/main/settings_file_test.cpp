#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

#include "main/atomic_file.h"
#include "main/settings_file.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

void put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

TEST(SettingsLoad, FileStates) {
    test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";

    // No file: defaults, nothing to keep.
    LoadedSettings missing = load_settings_file(file);
    EXPECT_FALSE(missing.keep_unreadable_file);
    EXPECT_EQ(missing.settings, default_settings());

    put(file, "probe_ms=500\nwindow=120");
    LoadedSettings good = load_settings_file(file);
    EXPECT_FALSE(good.keep_unreadable_file);
    EXPECT_EQ(good.settings.probe_ms, 500u);
    EXPECT_EQ(good.settings.window, 120u);

    // One bad byte anywhere spoils the whole file: no line of it applies.
    put(file, "probe_ms=500\nrecent=caf\xe9\n");
    LoadedSettings latin1 = load_settings_file(file);
    EXPECT_TRUE(latin1.keep_unreadable_file);
    EXPECT_EQ(latin1.settings, default_settings());

    fs::remove(file);
    fs::create_directory(file);
    EXPECT_TRUE(load_settings_file(file).keep_unreadable_file);
}

TEST(SettingsSave, CreatesFolderAndReplacesWithoutLeftovers) {
    test::TempDir dir;
    const fs::path file = dir.path() / "Corvane" / "deeper" / "settings.ini";
    ASSERT_TRUE(save_settings_text(file, "one\n", false));
    EXPECT_EQ(test::read_file(file), "one\n");
    ASSERT_TRUE(save_settings_text(file, "two\n", false));
    EXPECT_EQ(test::read_file(file), "two\n");
    EXPECT_FALSE(fs::exists(temporary_path_for(file)));
    EXPECT_FALSE(fs::exists(settings_backup_path(file)));
    EXPECT_EQ(temporary_path_for(dir.path() / "Office.txt").filename(), "Office.txt.tmp");
}

TEST(SettingsSave, KeepsUnreadableFileOnceAndNeverReplacesBackup) {
    test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    const fs::path bak = settings_backup_path(file);
    EXPECT_EQ(bak.filename(), "settings.ini.bak");

    put(file, "bad \xff bytes");
    ASSERT_TRUE(load_settings_file(file).keep_unreadable_file);
    ASSERT_TRUE(save_settings_text(file, "new\n", true));
    EXPECT_EQ(test::read_file(file), "new\n");
    EXPECT_EQ(test::read_file(bak), "bad \xff bytes");

    // A later bad file must not replace the first backup.
    put(file, "second \xfe");
    ASSERT_TRUE(save_settings_text(file, "newer\n", true));
    EXPECT_EQ(test::read_file(bak), "bad \xff bytes");
    EXPECT_EQ(test::read_file(file), "newer\n");

    // Nothing to keep when the file has gone meanwhile.
    fs::remove(file);
    fs::remove(bak);
    ASSERT_TRUE(save_settings_text(file, "x\n", true));
    EXPECT_FALSE(fs::exists(bak));
}

// A disk that fills up mid-write, simulated with the file size limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

TEST(AtomicWrite, FailureLeavesOldContent) {
    test::TempDir dir;
    const fs::path file = dir.path() / "Office.txt";
    put(file, "10.0.0.1 core\n");
    {
        FileSizeLimit limit(8);
        EXPECT_FALSE(write_file_atomically(file, std::string(100, 'x'), Durability::Synced));
        EXPECT_FALSE(save_settings_text(file, std::string(100, 'y'), false));
    }
    EXPECT_EQ(test::read_file(file), "10.0.0.1 core\n");
    EXPECT_FALSE(fs::exists(temporary_path_for(file)));

    // A temporary that cannot be created: the old file stays too.
    fs::create_directory(temporary_path_for(file));
    put(temporary_path_for(file) / "blocker", "");
    EXPECT_FALSE(write_file_atomically(file, "new\n"));
    EXPECT_EQ(test::read_file(file), "10.0.0.1 core\n");
    fs::remove_all(temporary_path_for(file));

    // A missing folder is a plain failure.
    EXPECT_FALSE(write_file_atomically(dir.path() / "nope" / "a.txt", "x"));
}

TEST(AtomicWrite, KeepsPermissionsAndReplacesStaleTemporary) {
    test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    put(file, "old");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    put(temporary_path_for(file), "stale leftover from a crash, longer than the new text");
    ASSERT_TRUE(write_file_atomically(file, "new", Durability::Synced));
    EXPECT_EQ(test::read_file(file), "new");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(fs::exists(temporary_path_for(file)));
}

}  // namespace
}  // namespace corvane
