#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/saved_lists.h"
#include "main/unicode_text.h"
#include "support/test_support.h"

namespace corvane {
namespace {

struct StemCase {
    std::string name;
    std::string stem;
};

TEST(ListFileName, SanitisesPerCodePoint) {
    const std::vector<StemCase> cases{
        {"a/b", "a_b"},
        {"  Office  ", "Office"},
        {"\u3000Office\u00a0\t", "Office"},  // Unicode blanks trimmed too
        {"q\"*/:<>?\\|z", "q_________z"},
        {"tab\there", "tab_here"},
        {"nul\x01\x1f", "nul__"},
        {"del\x7f", "del_"},
        {"c1\u0080\u009f", "c1__"},           // two bytes each, one "_" each
        {"nbsp\u00a0in", "nbsp\u00a0in"},     // U+00A0 is past the C1 range
        {"Ärzte Ωμέγα 東京 🚀", "Ärzte Ωμέγα 東京 🚀"},
        {"end. . ..", "end"},
        {"end. .x", "end. .x"},
        {"...", ""},
        {"", ""},
        {"a.txt", "a.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(sanitize_list_file_name(c.name), c.stem) << c.name;
}

TEST(ListFileName, SameListIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(list_names_equal("a/b", "A_B"));
    EXPECT_TRUE(list_names_equal(" Office ", "office."));
    EXPECT_FALSE(list_names_equal("Ärzte", "ärzte"));  // no folding past ASCII
    EXPECT_FALSE(list_names_equal("office", "office2"));
    EXPECT_FALSE(list_names_equal("ı", "i"));
}

TEST(ListFileName, PathsUnderRoamingFolder) {
    test::ScopedEnv appdata("APPDATA", "/r");
    EXPECT_EQ(lists_dir(), std::filesystem::path("/r/Corvane/Lists"));
    EXPECT_EQ(list_file_path(" a/b "), std::filesystem::path("/r/Corvane/Lists/a_b.txt"));
}

TEST(UnicodeText, SortsByFullLowerCase) {
    // Keys: "i̇x" (i + U+0307) sorts after "iz", which a simple mapping to
    // "ix" would not; "οσος" (final ς, CF 82) sorts before "οσοσ" (CF 83),
    // which a simple mapping would leave tied in input order; "äpfel" comes
    // after every ASCII key; "Apfel" and "apfel" tie and keep their order.
    std::vector<std::string> names{"zeta", "οσοσ", "ΟΣΟΣ", "İx", "iz", "Äpfel", "apfel", "Apfel"};
    sort_by_unicode_lower(names);
    EXPECT_EQ(names, (std::vector<std::string>{"apfel", "Apfel", "iz", "İx", "zeta", "Äpfel", "ΟΣΟΣ", "οσοσ"}));
    EXPECT_EQ(unicode_lower("ΟΣΟΣ"), "οσος");
    EXPECT_EQ(unicode_lower("ΣΑ"), "σα");
    EXPECT_EQ(unicode_lower("İ"), "i\u0307");
    EXPECT_EQ(unicode_lower("ÄI"), "äi");  // no Turkish dotless i
}

TEST(UnicodeText, TrimSplitAndValidity) {
    EXPECT_EQ(trim_unicode_space("\r\n\u2003 x y \u2028"), "x y");
    EXPECT_EQ(trim_unicode_space(" \u200b "), "\u200b");  // zero width space is not White_Space
    EXPECT_EQ(trim_unicode_space("\xff "), "\xff");       // a stray byte is kept, not trimmed
    // Broken sequences next to a trailing space: cut where a forward walk cuts.
    EXPECT_EQ(trim_unicode_space("a\xe3\xe3\x80\x80"), "a\xe3");
    EXPECT_EQ(trim_unicode_space("a\xe3\x80\x80\x80 "), "a\xe3\x80\x80\x80");
    EXPECT_EQ(trim_unicode_space("a\x80\x80\x80\x80\xc2\x85"), "a\x80\x80\x80\x80");
    EXPECT_EQ(trim_unicode_space("\xe3\x80\x80"), "");
    EXPECT_EQ(trim_unicode_space("  "), "");
    EXPECT_EQ(split_unicode_space(" a\u0085b\u3000\u3000c "), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(split_unicode_space(" \t ").empty());

    EXPECT_TRUE(is_valid_utf8("Ärzte 🚀"));
    EXPECT_FALSE(is_valid_utf8("\xc3"));               // cut short
    EXPECT_FALSE(is_valid_utf8("\xc0\xaf"));           // overlong
    EXPECT_FALSE(is_valid_utf8("\xed\xa0\x80"));       // surrogate
    EXPECT_FALSE(is_valid_utf8("\xf4\x90\x80\x80"));   // past U+10FFFF
    EXPECT_EQ(lossy_utf8("a\xffz\xc3"), "a\uFFFDz\uFFFD");
}

}  // namespace
}  // namespace corvane
