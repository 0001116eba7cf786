#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

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
    put("caf\xe9.txt", "");  // not UTF-8: shown with a replacement character
    fs::create_directory(lists_dir() / "folder.txt");  // entries are not tested for being files

    EXPECT_EQ(list_saved_list_files(),
              (std::vector<std::string>{"a.b", "caf\uFFFD", "folder", "HOME", "mixed", "Office"}));
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

TEST(HostListText, ParsesPiecesLabelsAndComments) {
    struct Case {
        const char* text;
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
    };
    for (const auto& c : cases) EXPECT_EQ(parse_host_list(c.text), c.want) << c.text;
}

}  // namespace
}  // namespace corvane
