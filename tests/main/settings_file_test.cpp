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

    // A FIFO is not waited for: unreadable, like a folder.
    fs::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(load_settings_file(file).keep_unreadable_file);
}

TEST(SettingsSave, CreatesFolderAndReplacesWithoutLeftovers) {
    test::TempDir dir;
    const fs::path file = dir.path() / "Corvane" / "deeper" / "settings.ini";
    ASSERT_TRUE(save_settings_text(file, "one\n"));
    EXPECT_EQ(test::read_file(file), "one\n");
    ASSERT_TRUE(save_settings_text(file, "two\n"));
    EXPECT_EQ(test::read_file(file), "two\n");
    EXPECT_FALSE(fs::exists(temporary_path_for(file)));
    EXPECT_FALSE(fs::exists(settings_backup_path(file)));
    EXPECT_EQ(temporary_path_for(dir.path() / "Office.txt").filename(), "Office.txt.tmp");
}

TEST(SettingsSave, KeepsEachUnreadableFileInABackupOfItsOwn) {
    test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    const fs::path bak = settings_backup_path(file);
    const fs::path bak2 = settings_backup_path(file, 2);
    EXPECT_EQ(bak.filename(), "settings.ini.bak");
    EXPECT_EQ(bak2.filename(), "settings.ini.2.bak");

    put(file, "bad \xff bytes");
    ASSERT_TRUE(load_settings_file(file).keep_unreadable_file);
    ASSERT_TRUE(keep_settings_backup(file));
    ASSERT_TRUE(keep_settings_backup(file));  // the same file again: no second copy
    ASSERT_TRUE(save_settings_text(file, "new\n"));
    EXPECT_EQ(test::read_file(file), "new\n");
    EXPECT_EQ(test::read_file(bak), "bad \xff bytes");
    EXPECT_FALSE(fs::exists(bak2));

    // A later bad file gets a backup of its own; the first stays.
    put(file, "second \xfe");
    ASSERT_TRUE(keep_settings_backup(file));
    ASSERT_TRUE(save_settings_text(file, "newer\n"));
    EXPECT_EQ(test::read_file(bak), "bad \xff bytes");
    EXPECT_EQ(test::read_file(bak2), "second \xfe");
    EXPECT_EQ(test::read_file(file), "newer\n");

    // Nothing to keep when the file has gone meanwhile.
    fs::remove(file);
    EXPECT_TRUE(keep_settings_backup(file));
    EXPECT_FALSE(fs::exists(settings_backup_path(file, 3)));
}

// Backups are numbered on from the highest one found, however many there
// are; a gap is not filled, so the newest backup has the highest number.
TEST(SettingsSave, BackupNumbersNeverRunOut) {
    test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    for (unsigned n = 1; n <= 1000; ++n) put(settings_backup_path(file, n), "old");
    put(dir.path() / "settings.ini.99999999999999999999999.bak", "");  // no number we write
    put(dir.path() / "settings.ini.x.bak", "");
    put(dir.path() / "settings.ini.bak.bak", "");
    put(dir.path() / "other.ini.5000.bak", "");

    put(file, "bad \xff");
    ASSERT_TRUE(keep_settings_backup(file));
    EXPECT_EQ(test::read_file(settings_backup_path(file, 1001)), "bad \xff");

    fs::remove(settings_backup_path(file, 500));
    fs::remove(file);  // the backup is a link to it: a later bad file is another file
    put(file, "worse \xfe");
    ASSERT_TRUE(keep_settings_backup(file));
    EXPECT_EQ(test::read_file(settings_backup_path(file, 1002)), "worse \xfe");
    EXPECT_FALSE(fs::exists(settings_backup_path(file, 500)));
}

// settings.ini and list files kept elsewhere through a link, as a dotfiles
// folder does: a save changes the file the link names and keeps the link.
TEST(AtomicWrite, WritesThroughLinks) {
    test::TempDir dir;
    const fs::path real = dir.path() / "dotfiles" / "settings.ini";
    fs::create_directories(real.parent_path());
    put(real, "old\n");
    ASSERT_EQ(chmod(real.c_str(), 0600), 0);
    const fs::path middle = dir.path() / "middle.ini";
    const fs::path link = dir.path() / "settings.ini";
    fs::create_symlink("dotfiles/settings.ini", middle);  // relative to the link's folder
    fs::create_symlink(middle, link);

    ASSERT_TRUE(save_settings_text(link, "new\n"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(middle));
    EXPECT_EQ(test::read_file(real), "new\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(fs::exists(temporary_path_for(real)));
    EXPECT_FALSE(fs::exists(temporary_path_for(link)));

    // An unreadable file behind the link is what the backup keeps.
    put(real, "bad \xff");
    ASSERT_TRUE(keep_settings_backup(link));
    ASSERT_TRUE(save_settings_text(link, "newer\n"));
    EXPECT_EQ(test::read_file(settings_backup_path(link)), "bad \xff");
    EXPECT_EQ(test::read_file(real), "newer\n");

    // A dangling link: the file it names is created, the link kept.
    const fs::path dangling = dir.path() / "Office.txt";
    fs::create_symlink(dir.path() / "dotfiles" / "Office.txt", dangling);
    ASSERT_TRUE(write_file_atomically(dangling, "10.0.0.1\n"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(test::read_file(dir.path() / "dotfiles" / "Office.txt"), "10.0.0.1\n");

    // A loop of links is an error, and neither link is replaced.
    const fs::path a = dir.path() / "a.txt", b = dir.path() / "b.txt";
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    std::error_code error;
    EXPECT_FALSE(write_file_atomically(a, "x", Durability::Rename, error));
    EXPECT_EQ(error, std::errc::too_many_symbolic_link_levels);
    EXPECT_TRUE(fs::is_symlink(a));
    EXPECT_TRUE(fs::is_symlink(b));
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
        EXPECT_FALSE(save_settings_text(file, std::string(100, 'y')));
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
