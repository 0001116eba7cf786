#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <sys/stat.h>
#include <string>
#include <vector>

#include "main/list_summary.h"
#include "main/saved_lists.h"
#include "main/saved_lists_hosts.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class ListFolder : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(lists_dir()); }
    void put(const std::string& file_name, const std::string& text) {
        std::ofstream(lists_dir() / file_name, std::ios::binary) << text;
    }

    test::TempDir dir_;
    test::ScopedEnv appdata_{"APPDATA", dir_.path().string()};
};

TEST_F(ListFolder, ScanKeepsTxtInAnyCaseOnly) {
    put("Office.txt", "");
    put("HOME.TXT", "");
    put("mixed.TxT", "");
    put("notes.text", "");
    put("noext", "");
    put(".txt", "");
    put("Office.txt.tmp", "");
    put("a.b.txt", "");
    put("caf\xe9.txt", "10.0.0.1\n10.0.0.2\n");  // not UTF-8: shown with a replacement character
    fs::create_directory(lists_dir() / "folder.txt");  // entries are not tested for being files

    EXPECT_EQ(list_saved_list_files(),
              (std::vector<std::string>{"a.b", "caf\uFFFD", "folder", "HOME", "mixed", "Office"}));
    // No file has that name's spelling: the scan's own file is its card's.
    EXPECT_EQ(listed_list_file("caf\uFFFD"), lists_dir() / "caf\xe9.txt");
    EXPECT_EQ(saved_list_summary("caf\uFFFD").host_count, 2u);
}

TEST_F(ListFolder, ScanSortsStablyByLowerCase) {
    put("Ärzte.txt", "");
    put("zoo.txt", "");
    put("Σ.txt", "");
    put("İzmir.txt", "");
    put("izmir2.txt", "");
    // "İzmir" lowers to "i" + U+0307 + "zmir", which sorts after "izmir2".
    EXPECT_EQ(list_saved_list_files(), (std::vector<std::string>{"izmir2", "İzmir", "zoo", "Ärzte", "Σ"}));
}

TEST(ListFolderMissing, ScanIsEmpty) {
    test::TempDir dir;
    test::ScopedEnv appdata("APPDATA", (dir.path() / "absent").string());
    EXPECT_TRUE(list_saved_list_files().empty());
    EXPECT_EQ(read_list_file("Office"), "");
    EXPECT_EQ(find_list_file("Office"), std::nullopt);
}

TEST_F(ListFolder, NamesFindFilesWhateverTheirCase) {
    put("Office.txt", "10.0.0.1\n");
    EXPECT_EQ(read_list_file("office"), "10.0.0.1\n");
    EXPECT_EQ(read_list_file(" OFFICE. "), "10.0.0.1\n");
    EXPECT_EQ(find_list_file("office"), lists_dir() / "Office.txt");
    EXPECT_EQ(read_list_file("Offices"), "");

    put("a_b.TXT", "x");
    EXPECT_EQ(read_list_file("a/b"), "x");

    // The exact file wins over a case variant; among variants the smallest name.
    put("office.txt", "exact\n");
    EXPECT_EQ(find_list_file("office"), lists_dir() / "office.txt");
    EXPECT_EQ(find_list_file("OFFICE"), lists_dir() / "Office.txt");

    // Not UTF-8: repaired rather than read as an empty list.
    put("latin.txt", "10.0.0.9 caf\xe9\n");
    EXPECT_EQ(read_list_file("Latin"), "10.0.0.9 caf\uFFFD\n");

    // A list file that cannot be read reads as empty.
    fs::create_directory(lists_dir() / "Broken.txt");
    EXPECT_EQ(read_list_file("broken"), "");
}

// Entries that are no host list: none may block the frame that reads it, nor
// be read whole.
TEST_F(ListFolder, OnlyRegularFilesOfAHostListsSizeAreRead) {
    ASSERT_EQ(mkfifo((lists_dir() / "Pipe.txt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", lists_dir() / "Zero.txt");
    put("Huge.txt", "");
    fs::resize_file(lists_dir() / "Huge.txt", kMaxListFileBytes + 1);  // sparse: no disk used
    put("Big.txt", "10.0.0.1 last\n");
    fs::resize_file(lists_dir() / "Big.txt", kMaxListFileBytes);  // the largest list still read

    for (const char* name : {"Pipe", "Zero", "Huge"}) {
        EXPECT_EQ(read_list_file(name), "") << name;
        EXPECT_EQ(saved_list_summary(name).host_count, 0u) << name;
    }
    EXPECT_TRUE(saved_list_summary("Huge").too_large);
    EXPECT_FALSE(saved_list_summary("Zero").too_large);
    EXPECT_EQ(read_list_file("Big").size(), kMaxListFileBytes);
    EXPECT_EQ(saved_list_summary("Big").host_count, 2u);  // the padding's NULs make one more "host"
}

TEST_F(ListFolder, SummaryFollowsTheFile) {
    EXPECT_EQ(saved_list_summary("Office"), ListSummary{});
    put("Office.txt", "10.0.0.1 Core router\n10.0.0.2\ngw Edge\n10.0.0.4\n");
    ListSummary want{4, {{"10.0.0.1", "Core router"}, {"10.0.0.2", {}}, {"gw", "Edge"}}, false};
    EXPECT_EQ(saved_list_summary("office"), want);
    EXPECT_EQ(saved_list_summary("Office"), want);

    // Rewritten in place to the same size at once, within one tick of the
    // file system's clock: still seen.
    put("Office.txt", "10.0.0.9 Core router\n10.0.0.2\ngw Edge\n10.0.0.4\n");
    want.first_hosts[0].host = "10.0.0.9";
    EXPECT_EQ(saved_list_summary("Office"), want);

    // Replaced by a rename, as the editor saves.
    put("Office.txt.new", "a\n");
    fs::rename(lists_dir() / "Office.txt.new", lists_dir() / "Office.txt");
    EXPECT_EQ(saved_list_summary("Office"), (ListSummary{1, {{"a", {}}}, false}));

    fs::remove(lists_dir() / "Office.txt");
    EXPECT_EQ(saved_list_summary("Office"), ListSummary{});
}

// An entry that cannot be read is passed over; the scan goes on after it.
TEST(ListFolderScan, AnUnreadableEntryIsSkipped) {
    std::vector<FolderStep> steps{{FolderStep::Kind::Entry, "a.txt", 0},
                                  {FolderStep::Kind::Error, "", EIO},
                                  {FolderStep::Kind::Entry, "notes", 0},
                                  {FolderStep::Kind::Error, "", EOVERFLOW},
                                  {FolderStep::Kind::Entry, "b.TXT", 0}};
    std::size_t i = 0;
    const std::function<FolderStep()> next = [&] { return i < steps.size() ? steps[i++] : FolderStep{}; };
    std::vector<std::string> names;
    while (auto name = next_list_file_name(next)) names.push_back(*name);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
}

std::string repeat(const std::string& s, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += s;
    return out;
}

TEST(HostListText, ParsesPiecesLabelsAndComments) {
    struct Case {
        std::string text;
        std::vector<HostListEntry> want;
    };
    const std::vector<Case> cases{
        {"10.0.0.1 Core router, 10.0.0.2; gateway   Edge    link # the uplink\n",
         {{"10.0.0.1", "Core router"}, {"10.0.0.2", std::nullopt}, {"gateway", "Edge link"}}},
        {"", {}},
        {"\n\n  \r\n# only a comment\n,;,", {}},
        {"a\r\nb x\r\n", {{"a", std::nullopt}, {"b", "x"}}},
        {"host.example a # b, c\nnext", {{"host.example", "a"}, {"next", std::nullopt}}},
        {"Srv one, srv two\nSRV three", {{"Srv", "one"}}},
        {"x\u3000label\u00a0two", {{"x", "label two"}}},
        // Only A-Z fold: "ärger" is another host, "ÄRGER" the first one again.
        {"Ärger a\närger b\nÄRGER c", {{"Ärger", "a"}, {"ärger", "b"}}},
        {"a#b\nc", {{"a", std::nullopt}, {"c", std::nullopt}}},
        // Long labels keep 256 characters, cut between characters, never
        // ending in the blank between two words.
        {"h " + repeat("\u00e9", 300) + "\nnext", {{"h", repeat("\u00e9", 256)}, {"next", std::nullopt}}},
        {"h " + repeat("word ", 600'000), {{"h", repeat("word ", 51) + "w"}}},
        {"h " + repeat("abc ", 100), {{"h", repeat("abc ", 63) + "abc"}}},
        {"h " + repeat("\u00e9", 256), {{"h", repeat("\u00e9", 256)}}},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_host_list(c.text), c.want) << c.text.substr(0, 80);
}

}  // namespace
}  // namespace corvane
