// Field readers, UTF-8 handling and the row rules of history files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/ipv4.h"
#include "replay/history_rows.h"
#include "replay/utf8_text.h"
#include "replay_test_util.h"

namespace corvane {
namespace {

using test::kHeader;
using test::parse_ok;
using test::row;

TEST(ReplayFields, NumbersFollowTheirSignAndRangeRules) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> ms;
        std::optional<std::uint64_t> u64;
        std::optional<std::uint32_t> u32;
    };
    const Case cases[] = {
        {"12", 12, 12, 12},
        {"+12", 12, 12, 12},
        {"-12", -12, std::nullopt, std::nullopt},
        {"007", 7, 7, 7},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"+", std::nullopt, std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt, std::nullopt},
        {"1.5", std::nullopt, std::nullopt, std::nullopt},
        {"1e3", std::nullopt, std::nullopt, std::nullopt},
        {"++1", std::nullopt, std::nullopt, std::nullopt},
        {"4294967295", 4294967295LL, 4294967295ULL, 4294967295U},
        {"4294967296", 4294967296LL, 4294967296ULL, std::nullopt},
        {"9223372036854775807", INT64_MAX, 9223372036854775807ULL, std::nullopt},
        {"-9223372036854775808", INT64_MIN, std::nullopt, std::nullopt},
        {"9223372036854775808", std::nullopt, 9223372036854775808ULL, std::nullopt},
        {"18446744073709551615", std::nullopt, UINT64_MAX, std::nullopt},
        {"18446744073709551616", std::nullopt, std::nullopt, std::nullopt},
        {"000000000000000000000000001", 1, 1, 1},
        {"99999999999999999999999", std::nullopt, std::nullopt, std::nullopt},
        {"1772358313207", 1772358313207LL, 1772358313207ULL, std::nullopt},
        {"17723583:3207", std::nullopt, std::nullopt, std::nullopt},
        {"1772358313/07", std::nullopt, std::nullopt, std::nullopt},
        {"12345678 ", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_unix_ms_field(c.text), c.ms) << c.text;
        EXPECT_EQ(parse_u64_field(c.text), c.u64) << c.text;
        EXPECT_EQ(parse_u32_field(c.text), c.u32) << c.text;
    }
}

TEST(ReplayFields, AddressReaderAgreesWithTheSystemParser) {
    const char* fixed[] = {"10.0.0.1", "255.255.255.255", "0.0.0.0", "256.1.1.1", "01.2.3.4", "1.2.3",
                           "1.2.3.4.", "1.2.3.4.5", "1..3.4", " 1.2.3.4", "1.2.3.4x", "", "1.2.3.04",
                           "1.2.3.0", "1234.1.1.1", "a.b.c.d", "-1.2.3.4", "+1.2.3.4"};
    for (const char* t : fixed) EXPECT_EQ(parse_dotted_ipv4(t), Ipv4Addr::parse(t)) << t;
    std::mt19937 rng(3);
    const std::string alphabet = "0123456789..12x";
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int len = 1 + static_cast<int>(rng() % 17);
        for (int k = 0; k < len; ++k) t.push_back(alphabet[rng() % alphabet.size()]);
        ASSERT_EQ(parse_dotted_ipv4(t), Ipv4Addr::parse(t)) << t;
    }
}

TEST(ReplayUtf8, ValidatorAgreesWhateverThePieces) {
    const std::string texts[] = {
        "plain", "caf\xC3\xA9", "\xE2\x82\xAC and \xF0\x9F\x98\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF",
        "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80", "\xF0\x9F\x98",
    };
    const bool valid[] = {true, true, true, false, false, false, false, false, false, false, false};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(utf8_bytes_valid(texts[i]), valid[i]) << i;
        // Split at every point: the verdict may not depend on where.
        for (std::size_t cut = 0; cut <= texts[i].size(); ++cut) {
            Utf8StreamValidator v;
            const bool ok = v.feed(std::string_view(texts[i]).substr(0, cut)) == Utf8StreamValidator::npos &&
                            v.feed(std::string_view(texts[i]).substr(cut)) == Utf8StreamValidator::npos &&
                            !v.incomplete();
            EXPECT_EQ(ok, valid[i]) << i << " cut at " << cut;
        }
    }
}

TEST(ReplayUtf8, LossyAndTrim) {
    EXPECT_EQ(utf8_lossy("ok"), "ok");
    EXPECT_EQ(utf8_lossy("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf8_lossy("\xE2\x82"), "\xEF\xBF\xBD");  // a cut character is one replacement
    EXPECT_EQ(utf8_lossy("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(trim_field_space(" \t x y\r\n"), "x y");
    EXPECT_EQ(trim_field_space("\xC2\xA0" "12\xE3\x80\x80"), "12");  // no-break and ideographic space
    EXPECT_EQ(trim_field_space("\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(trim_field_space("   "), "");
}

TEST(ReplayRows, SkippedAndKeptRows) {
    struct Case {
        const char* line;
        bool kept;
    };
    const Case cases[] = {
        {"t,1000,h,1,10.0.0.1,5,ok", true},
        {"t,1000,h,2000,,,lost", true},
        {"t,1000,h,0,,,lost", false},
        {"t,1000,h,2001,,,lost", false},
        {"t,+1000,h,1,,,lost", true},
        {"t,-1000,h,1,,,lost", true},
        {"t,1000.5,h,1,,,lost", false},
        {"t,abc,h,1,,,lost", false},
        {"t,1000,h,x,,,lost", false},
        {"t,1000,h,-1,,,lost", false},
        {"t,1000,h,1,,", false},          // six fields
        {"t,1000,h,1,,,lost,extra,more", true},
        {"", false},
        {" t , 1000 , h , 3 , 10.0.0.1 , 5 , ok \r", true},
    };
    for (const auto& c : cases) {
        HistoryRowParser p(false);
        p.parse_line(c.line);
        EXPECT_EQ(p.samples().size(), c.kept ? 1u : 0u) << c.line;
    }
}

// The block scanner reads whole rows through shortcuts (memoised addresses,
// reads past a field's end, bit masks over 128-byte windows); it must agree
// with reading each line on its own, wherever the odd rows fall in the
// blocks, and must not read past the text.
TEST(ReplayRows, BlockScannerAgreesWithLineByLine) {
    const std::vector<std::string> odd = {
        "t,1000,h,1,10.0.0.1,5,ok",
        " t , 1000 , h , 3 , 10.0.0.1 , 5 , ok \r",
        "t,1000,h,07,010.0.0.1,05,ok",
        "t,1000,h,1,10.0.0.256,5,ok",
        "t,1000,h,1,10.0.0.1.5,5,ok",
        "t,1000,h,1,1.2.3.4,+7,ok",
        "t,1000,h,+12,255.255.255.255,4294967295,ok",
        "t,1000,h,1,10.0.0.1,4294967296,ok",
        "t,1000,h,2000,10.0.0.1,12345,ok",
        "t,1000,h,2001,,,lost",
        "t,1000,h,0,,,lost",
        "t,1000,h,1,,,",
        "t,1000,h,1,,",
        "t,1000,h,5,,9,ok",
        "t,-5,h,1,,,lost",
        "t,1000,h,1,10.0.0.1,5,ok,extra,,",
        "t,1000,h,1,10.0.0.1,5,ok\xC2\xA0",
        "\xE3\x80\x80t,1000,h\xC3\xA9,1,10.0.0.1,5,ok",
        "t,99999999999999999999,h,1,,,lost",
        "t,1000,h,1,10.0.0.1, 5,ok",
        "t,1000,h,1,10.0.0.1,5,OK",
        "t,1000,h,1,10.0.0.1,5x,ok",
        "t,1000,h,1a,10.0.0.1,5,ok",
        "",
        ",,,,,,",
        std::string(200, 'x') + ",1000,h,1,10.0.0.1,5,ok",
        "t,1000," + std::string(150, 'h') + ",4,10.0.0.4,5,ok",
        // One hop's address changing, and an invalid text beside a valid one.
        "t,1000,h,9,10.1.1.1,5,ok",
        "t,1000,h,9,10.1.1.10,5,ok",
        "t,1000,h,9,10.1.1.11,5,ok",
        "t,1000,h,9,192.168.100.1,5,ok",
        "t,1000,h,9,192.168.100.2,5,ok",
        "t,1000,h,9,10.1.1.1,5,ok",
        "t,1000,h,9,10.1.1.01,5,ok",
        "t,1000,h,9,10.1.1.1 ,5,ok",
    };
    for (const bool watch : {false, true}) {
        std::string text = kHeader;
        std::vector<std::string> lines;
        std::int64_t t = 1'700'000'000'000;
        for (std::size_t shift = 0; shift < 70; ++shift) {
            for (const auto& o : odd) {
                // Fillers of every length move the odd rows across the blocks.
                lines.push_back(std::string(shift, 'p') + "," + std::to_string(t++) + ",gw," +
                                std::to_string(shift % 30 + 1) + ",10.0.0." + std::to_string(shift) + "," +
                                std::to_string(shift * 7) + ",ok");
                lines.push_back(o);
            }
        }
        for (const auto& l : lines) text += l + "\n";

        HistoryRowParser want(watch);
        for (const auto& l : lines) want.parse_line(l);

        // A buffer of exactly the text's size, so a read past it is caught.
        const std::unique_ptr<char[]> bytes(new char[text.size()]);
        std::memcpy(bytes.get(), text.data(), text.size());
        HistoryRowParser got(watch);
        EXPECT_EQ(got.parse_lines(bytes.get(), bytes.get() + text.size()), bytes.get() + text.size());

        ASSERT_EQ(got.samples().size(), want.samples().size()) << watch;
        for (std::size_t i = 0; i < want.samples().size(); ++i) {
            ASSERT_EQ(got.samples()[i], want.samples()[i]) << i << " " << watch;
        }
        EXPECT_EQ(got.title(), want.title());
        EXPECT_EQ(got.host_names(), want.host_names());
        EXPECT_EQ(got.in_time_order(), want.in_time_order());
    }
}

TEST(ReplayRows, ResultsAddressesAndTitle) {
    const std::string text = std::string(kHeader) +
                             "t,1000,,1,10.0.0.1, 12 , ok \n"   // spaces around: answered, 12
                             "t,1001,,1,not-an-address,5,OK\n"  // capital OK: lost; bad address kept as none
                             "t,1002, first ,2,,x,ok\n"         // bad rtt: lost
                             "t,1003,second,2,,7,lost\n"        // "lost" with an rtt: lost
                             "t,1004,third,2,,7,yes\n";
    const ParsedRecording r = parse_ok(text);
    ASSERT_EQ(r.samples.size(), 5u);
    EXPECT_EQ(r.samples[0].rtt, 12u);
    EXPECT_EQ(r.samples[0].addr, Ipv4Addr(10, 0, 0, 1));
    EXPECT_EQ(r.samples[1].rtt, std::nullopt);
    EXPECT_EQ(r.samples[1].addr, std::nullopt);
    for (std::size_t i = 2; i < 5; ++i) EXPECT_EQ(r.samples[i].rtt, std::nullopt) << i;
    EXPECT_EQ(r.title, "first");
}

TEST(ReplayRows, FirstLineIsAlwaysTheHeader) {
    const ParsedRecording r = parse_ok(row(5, "a", 1, "", 1) + row(6, "b", 1, "", 2));
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.samples[0].time_ms, 6);
    EXPECT_EQ(r.title, "b");
}

TEST(ReplayRows, WatchHostNamesComeFromEachHostsFirstRow) {
    const std::string text = std::string(kHeader) + row(1, "", 2, "", 5) + row(2, "later", 2, "", 5) +
                             row(3, "db", 4, "", 5) + row(4, "x", 0, "", 5);
    const ParsedRecording r = parse_ok(text, true);
    ASSERT_EQ(r.host_names.size(), 4u);
    EXPECT_EQ(r.host_names[0], std::nullopt);
    EXPECT_EQ(r.host_names[1], "");  // the first row's target, even empty
    EXPECT_EQ(r.host_names[2], std::nullopt);
    EXPECT_EQ(r.host_names[3], "db");
}

TEST(ReplayNames, KindAndWatchTitleFromTheFileName) {
    struct Case {
        const char* path;
        bool watch;
        const char* title;
    };
    const Case cases[] = {
        {"/h/watch_Office_2026-12-08_093000.csv", true, "Office"},
        {"/h/watch_abc.csv", true, "abc"},
        {"/h/watch_watch_Core_routers_2026-03-01_094512.csv", true, "Core_routers"},
        {"/h/Watch_x.csv", false, ""},
        {"/h/192.168.1.1_2026-03-01_094512.csv", false, ""},
        {"/h/watch_.csv", true, ""},
        {"/h/watch_\xC3\xA9xxxxxxxxxxxxxxxxx.csv", true, ""},  // cut inside a character: whole ones kept
    };
    for (const auto& c : cases) {
        const RecordingName n = recording_name_of(c.path);
        EXPECT_EQ(n.is_watch, c.watch) << c.path;
        if (c.watch) {
            EXPECT_EQ(watch_title_from_stem(n.stem), c.title) << c.path;
        }
    }
    EXPECT_FALSE(recording_name_of("/").is_watch);
}

TEST(ReplayMarks, TraceAddressChangesAndWatchOutages) {
    // Hop 3: A, B, B, then A again: a mark at each change, none for the first.
    std::string trace = kHeader;
    trace += row(10, "t", 3, "10.0.0.1", 1) + row(20, "t", 3, "10.0.0.2", 1) + row(25, "t", 3, "", -1) +
             row(30, "t", 3, "10.0.0.2", 1) + row(40, "t", 4, "10.0.0.9", 1);
    EXPECT_EQ(parse_ok(trace).markers_ms, (std::vector<std::int64_t>{20}));

    // Host 1 lost four times, answered, lost three times: two marks, each at
    // the first loss of its run.
    std::string watch = kHeader;
    for (int t : {100, 110, 120, 130}) watch += row(t, "h", 1, "10.0.0.1", -1);
    watch += row(140, "h", 1, "10.0.0.1", 3);
    for (int t : {150, 160, 170}) watch += row(t, "h", 1, "10.0.0.1", -1);
    EXPECT_EQ(parse_ok(watch, true).markers_ms, (std::vector<std::int64_t>{100, 150}));
}

TEST(ReplayUtf8Rows, CutLastCharacterIsForgivenAnywhereElseNot) {
    const std::string good = std::string(kHeader) + row(1, "t", 1, "", 1);
    // A crash cut the last line inside "é": that line goes, the rest stays.
    auto r = parse_history_text(good + "2026,2,caf\xC3", false, "f.csv");
    ASSERT_TRUE(std::holds_alternative<ParsedRecording>(r));
    EXPECT_EQ(std::get<ParsedRecording>(r).samples.size(), 1u);
    // The same invalid byte on a finished line: the file is not UTF-8.
    r = parse_history_text(good + "2026,2,caf\xC3\n", false, "f.csv");
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_EQ(std::get<std::string>(r),
              "Could not read f.csv: Invalid or incomplete multibyte or wide character (os error 84)");
    // Bad bytes in the middle of the file.
    r = parse_history_text(std::string(kHeader) + "x\xFF\n" + row(1, "t", 1, "", 1), false, "f.csv");
    EXPECT_TRUE(std::holds_alternative<std::string>(r));
    // An unterminated valid last line is read.
    r = parse_history_text(good + "t,3,t,1,,4,ok", false, "f.csv");
    ASSERT_TRUE(std::holds_alternative<ParsedRecording>(r));
    EXPECT_EQ(std::get<ParsedRecording>(r).samples.size(), 2u);
}

}  // namespace
}  // namespace corvane
