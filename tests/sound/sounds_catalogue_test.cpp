#include "sound/sounds_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

std::vector<std::string> names(const std::vector<fs::path>& paths) {
    std::vector<std::string> out;
    for (const auto& p : paths) out.push_back(p.filename().string());
    return out;
}

// The order the folder lists these names in, which the catalogue keeps for
// names that sort equal.
std::vector<std::string> listing_order(const fs::path& dir, std::vector<std::string> wanted) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (std::find(wanted.begin(), wanted.end(), n) != wanted.end()) out.push_back(n);
    }
    return out;
}

TEST(SoundsCatalogue, ListsWavFilesOfTheMediaFolderSorted) {
    TempDir windir;
    const fs::path media = windir.path() / "Media";
    fs::create_directories(media / "sub");
    for (const char* n : {"b.WAV", "a.wav", "C.Wav", "d.wav.txt", ".wav", "noext", "x.wave", "y.wa", "z.mp3",
                          "tada.wav", "Tada.WAV", "TADA.wav", "..wav", "a.b.wav", "\xc3\x89" "cho.wav",
                          "zulu.wav", "\xff" "bad.wav"}) {
        touch(media / n);
    }
    touch(media / "sub" / "deep.wav");
    fs::create_directories(media / "folder.wav");  // entries are not tested for being files
    ScopedEnv env("WINDIR", windir.path().string());

    EXPECT_EQ(system_sounds_dir(), media);
    const auto found = gather_system_sounds();
    for (const auto& p : found) EXPECT_EQ(p.parent_path(), media);

    std::vector<std::string> want{"..wav", "a.wav", "a.b.wav", "b.WAV", "C.Wav", "folder.wav"};
    for (const auto& n : listing_order(media, {"tada.wav", "Tada.WAV", "TADA.wav"})) want.push_back(n);
    // Unicode lower case puts É after every ASCII letter, and U+FFFD for an
    // invalid byte after that.
    for (const char* n : {"zulu.wav", "\xc3\x89" "cho.wav", "\xff" "bad.wav"}) want.push_back(n);
    EXPECT_EQ(names(found), want);
}

TEST(SoundsCatalogue, CaseOnlyDifferencesKeepListingOrder) {
    TempDir windir;
    const fs::path media = windir.path() / "Media";
    fs::create_directories(media);
    // Non-ASCII letters too: É and é are one letter in lower case.
    const std::vector<std::string> same{"\xc3\x89t\xc3\xa9.wav", "\xc3\xa9T\xc3\x89.wav", "\xc3\xa9t\xc3\xa9.WAV"};
    for (const auto& n : same) touch(media / n);
    ScopedEnv env("WINDIR", windir.path().string());
    EXPECT_EQ(names(gather_system_sounds()), listing_order(media, same));
}

TEST(SoundsCatalogue, MissingFolderIsEmpty) {
    TempDir windir;
    ScopedEnv env("WINDIR", windir.path().string());
    EXPECT_TRUE(gather_system_sounds().empty());
    ScopedEnv env2("WINDIR", (windir.path() / "nowhere").string());
    EXPECT_TRUE(gather_system_sounds().empty());
}

TEST(SoundsCatalogue, WithoutWindirTheAlsaSoundsStandIn) {
    ScopedEnv env("WINDIR", std::nullopt);
    EXPECT_EQ(system_sounds_dir(), fs::path("/usr/share/sounds/alsa"));
    if (!fs::exists("/usr/share/sounds/alsa/Front_Center.wav")) GTEST_SKIP() << "alsa-utils sounds not installed";
    const auto found = gather_system_sounds();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front(), fs::path("/usr/share/sounds/alsa/Front_Center.wav"));
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), cmp_file_name_ci));
}

TEST(SoundsCatalogue, NextWavFileWalksTheListing) {
    TempDir dir;
    for (const char* n : {"one.wav", "two.txt", "THREE.WAV", ".wav"}) touch(dir.path() / n);
    fs::directory_iterator it(dir.path());
    std::vector<std::string> got;
    while (auto p = next_wav_file(it)) got.push_back(p->filename().string());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"THREE.WAV", "one.wav"}));
    EXPECT_FALSE(next_wav_file(it).has_value());  // stays exhausted
}

TEST(SoundsCatalogue, CompareIgnoresCaseFolderAndExtension) {
    struct Case {
        const char* a;
        const char* b;
        bool before;
    };
    const Case cases[] = {
        {"/x/a.wav", "/y/B.WAV", true},
        {"/x/B.wav", "/y/a.wav", false},
        {"/z/a.wav", "/a/A.WAV", false},  // equal either way round
        {"/a/A.WAV", "/z/a.wav", false},
        {"/x/a.wav", "/x/a.b.wav", true},  // stems "a" and "a.b"
        {"/x/.wav", "/x/a.wav", true},     // the stem of ".wav" is ".wav"
        {"/x/Zed.wav", "/x/\xc3\xa9t\xc3\xa9.wav", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cmp_file_name_ci(c.a, c.b), c.before) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace corvane
