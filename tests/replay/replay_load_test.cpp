// Loading history files from disk: banners, and the streaming loader against
// the plain read-everything algorithm on generated files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "replay/replay_playback.h"
#include "replay_test_util.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using test::kHeader;
using test::row;
using test::TempDir;
using test::write_file;

std::string banner_of(const std::filesystem::path& p) {
    auto r = open_history_recording(p);
    return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : std::string("<loaded>");
}

TEST(ReplayLoadBanners, BadFilesGiveTheirExactBanner) {
    TempDir dir;
    const std::string d = dir.path().string();
    const std::string no_data = kNoProbeDataBanner;
    struct Case {
        std::string name;
        std::string bytes;
        std::string banner;
    };
    const std::vector<Case> cases = {
        {"empty.csv", "", no_data},
        {"header.csv", kHeader, no_data},
        {"bad-header.csv", "what,ever\n" + row(1, "t", 1, "", 1), "<loaded>"},
        {"short-rows.csv", std::string(kHeader) + "t,1,t,1,,\n" + "t,2\n\n", no_data},
        {"hops.csv", std::string(kHeader) + row(1, "t", 0, "", 1) + row(2, "t", 2001, "", 1), no_data},
        {"words.csv", std::string(kHeader) + "t,soon,t,1,,1,ok\nt,1,t,one,,1,ok\n", no_data},
        {"unterminated.csv", std::string(kHeader) + "t,1,t,1,,1,ok", "<loaded>"},
        {"binary.csv", std::string(kHeader) + "\xFF\xFE\n" + row(1, "t", 1, "", 1),
         "Could not read " + d + "/binary.csv: Invalid or incomplete multibyte or wide character (os error 84)"},
        // A crash may cut the last character short; that line goes, the rest loads.
        {"cut-character.csv", std::string(kHeader) + row(1, "t", 1, "", 1) + "t,2,caf\xC3", "<loaded>"},
        // Any other bad byte, last line or not, is no history file.
        {"bad-last-line.csv", std::string(kHeader) + row(1, "t", 1, "", 1) + "t,2,t\xFF,1,,1,ok",
         "Could not read " + d + "/bad-last-line.csv: Invalid or incomplete multibyte or wide character (os error 84)"},
        {"cut-then-more.csv", std::string(kHeader) + row(1, "t", 1, "", 1) + "t,2,caf\xC3x",
         "Could not read " + d + "/cut-then-more.csv: Invalid or incomplete multibyte or wide character (os error 84)"},
    };
    for (const auto& c : cases) EXPECT_EQ(banner_of(write_file(dir.path(), c.name, c.bytes)), c.banner) << c.name;

    EXPECT_EQ(banner_of(dir.path() / "missing.csv"),
              "Could not read " + d + "/missing.csv: No such file or directory (os error 2)");
    std::filesystem::create_directory(dir.path() / "folder.csv");
    EXPECT_EQ(banner_of(dir.path() / "folder.csv"), "Could not read " + d + "/folder.csv: Not a regular file");

    // Files that never end, or never begin: a FIFO would block the window in
    // open(), /dev/zero would fill the memory.
    ASSERT_EQ(mkfifo((dir.path() / "pipe.csv").c_str(), 0600), 0);
    EXPECT_EQ(banner_of(dir.path() / "pipe.csv"), "Could not read " + d + "/pipe.csv: Not a regular file");
    std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.csv");
    EXPECT_EQ(banner_of(dir.path() / "zero.csv"), "Could not read " + d + "/zero.csv: Not a regular file");

    // A line longer than any row could be (a label of a 16 MiB host list and
    // the other fields): no history file, whatever follows it.
    const std::filesystem::path endless = write_file(dir.path(), "endless.csv", std::string(kHeader) + "t,1,");
    std::filesystem::resize_file(endless, (std::size_t(16) << 20) + 8192);  // sparse NULs: valid UTF-8
    EXPECT_EQ(banner_of(endless),
              "Could not read " + d + "/endless.csv: A line is longer than any history row can be");
    // Nor does its size say what memory it needs: a terabyte asks for no
    // terabyte's worth of samples up front.
    const std::filesystem::path huge = write_file(dir.path(), "huge.csv", "");
    std::filesystem::resize_file(huge, std::uintmax_t(1) << 40);
    EXPECT_EQ(banner_of(huge), "Could not read " + d + "/huge.csv: A line is longer than any history row can be");
}

// Memory running out while a recording loads is a file that cannot be read,
// not the end of the program. Run in a child whose address space is cut to
// a few MiB above what it uses; the sanitizers' shadow memory needs more.
TEST(ReplayLoadDeathTest, RunningOutOfMemoryIsAReadError) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers need an address space of terabytes";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    // 64 MiB of NULs: a line that would grow to 16 MiB before it counts as too long.
    const std::filesystem::path big = write_file(dir.path(), "big.csv", std::string(kHeader));
    std::filesystem::resize_file(big, std::size_t(64) << 20);
    const auto load_in_little_memory = [&] {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGE_SIZE)) + (rlim_t(16) << 20);
        const rlimit cut{limit, limit};
        ::setrlimit(RLIMIT_AS, &cut);
        std::fprintf(stderr, "%s\n", banner_of(big).c_str());
        std::_Exit(0);
    };
    EXPECT_EXIT(load_in_little_memory(), testing::ExitedWithCode(0),
                "Could not read .*/big\\.csv: Cannot allocate memory \\(os error 12\\)");
}

// The plain algorithm: whole file, split, parse, stable sort, marks.
struct Reference {
    std::vector<ReplaySample> samples;
    std::vector<std::int64_t> marks;
    std::string title;
};

std::string_view trim_ascii(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

template <typename T>
std::optional<T> number(std::string_view s, bool minus_ok) {
    if (!s.empty() && s[0] == '+' && s.size() > 1 && s[1] != '-') s.remove_prefix(1);
    if (!minus_ok && !s.empty() && s[0] == '-') return std::nullopt;
    T v{};
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

Reference reference_load(const std::string& text, bool watch) {
    Reference r;
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    lines.push_back(cur);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string_view> f;
        std::string_view l = lines[i];
        for (;;) {
            const auto c = l.find(',');
            f.push_back(l.substr(0, c));
            if (c == std::string_view::npos) break;
            l.remove_prefix(c + 1);
        }
        if (f.size() < 7) continue;
        const auto t = number<std::int64_t>(trim_ascii(f[1]), true);
        const auto hop = number<std::uint64_t>(trim_ascii(f[3]), false);
        if (!t || !hop || *hop < 1 || *hop > 2000) continue;
        if (r.title.empty()) r.title = std::string(trim_ascii(f[2]));
        ReplaySample s;
        s.time_ms = *t;
        s.hop = *hop;
        s.addr = Ipv4Addr::parse(trim_ascii(f[4]));
        if (trim_ascii(f[6]) == "ok") s.rtt = number<std::uint32_t>(trim_ascii(f[5]), false);
        r.samples.push_back(s);
    }
    std::stable_sort(r.samples.begin(), r.samples.end(),
                     [](const ReplaySample& a, const ReplaySample& b) { return a.time_ms < b.time_ms; });
    std::map<std::uint64_t, Ipv4Addr> last;
    std::map<std::uint64_t, std::pair<int, std::int64_t>> run;
    for (const auto& s : r.samples) {
        if (!watch && s.addr) {
            if (last.count(s.hop) && last[s.hop] != *s.addr) r.marks.push_back(s.time_ms);
            last[s.hop] = *s.addr;
        }
        if (watch) {
            auto& [count, first] = run[s.hop];
            if (s.rtt) {
                count = 0;
            } else {
                if (count == 0) first = s.time_ms;
                if (++count == 3) r.marks.push_back(first);
            }
        }
    }
    std::stable_sort(r.marks.begin(), r.marks.end());
    return r;
}

// A file of `rounds` rounds over `hops` hops, with times jittered by up to
// `disorder` ms and some duplicate times, lost rows and address changes.
std::string generated_file(int rounds, int hops, int disorder, unsigned seed) {
    std::mt19937 rng(seed);
    std::ostringstream out;
    out << kHeader;
    std::vector<int> variant(static_cast<std::size_t>(hops) + 1, 1);
    for (int r = 0; r < rounds; ++r) {
        for (int h = 1; h <= hops; ++h) {
            if (rng() % 500 == 0) variant[h] ^= 3;
            std::int64_t t = 1'700'000'000'000 + r * 1000 + (disorder ? static_cast<int>(rng() % disorder) : 0);
            if (rng() % 10 == 0) t -= t % 1000;  // equal times: their file order must hold
            const bool lost = rng() % 8 == 0;
            out << "2026-03-01 09:45:13.207," << t << ",gw.example," << h << ","
                << (lost ? std::string() : "10." + std::to_string(h) + ".0." + std::to_string(variant[h])) << ","
                << (lost ? std::string() : std::to_string(rng() % 90)) << "," << (lost ? "lost" : "ok") << "\n";
        }
    }
    return out.str();
}

// The data lines of a file in reverse, or with its first data line moved to
// the end: rows too far out of place to be moved as they arrive.
std::string reshuffled(const std::string& text, bool reverse) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l + "\n");
    std::string out = lines[0];
    if (reverse) {
        for (std::size_t i = lines.size(); i-- > 1;) out += lines[i];
    } else {
        for (std::size_t i = 2; i < lines.size(); ++i) out += lines[i];
        out += lines[1];
    }
    return out;
}

TEST(ReplayLoadStreaming, SameSamplesOrderAndMarksAsThePlainAlgorithm) {
    TempDir dir;
    enum Shape { kAsMade, kReversed, kFirstRowLast };
    struct Case {
        int rounds, hops, disorder;
        bool watch;
        Shape shape = kAsMade;
    };
    // About 5 MB, so lines straddle the reader's piece boundaries. Jitter of
    // a second or two is what the probe threads leave; 20 s makes so many
    // moves that the loader gives up moving rows partway and sorts instead.
    const Case cases[] = {{2500, 30, 0, false},         {2500, 30, 5000, false},
                          {2500, 30, 5000, true},       {50, 3, 0, true},
                          {2500, 30, 2000, false},      {2500, 30, 20000, false},
                          {400, 30, 1000, false, kReversed}, {400, 30, 0, true, kFirstRowLast}};
    unsigned seed = 11;
    for (const auto& c : cases) {
        std::string text = generated_file(c.rounds, c.hops, c.disorder, seed++);
        if (c.shape != kAsMade) text = reshuffled(text, c.shape == kReversed);
        const auto path = write_file(dir.path(), c.watch ? "watch_list_2026-03-01_094512.csv" : "trace.csv", text);
        SCOPED_TRACE("case " + std::to_string(seed - 12));
        auto loaded = read_history_recording(path);
        ASSERT_TRUE(std::holds_alternative<ParsedRecording>(loaded));
        const ParsedRecording& got = std::get<ParsedRecording>(loaded);
        const Reference want = reference_load(text, c.watch);
        ASSERT_EQ(got.samples.size(), want.samples.size());
        for (std::size_t i = 0; i < want.samples.size(); ++i) ASSERT_EQ(got.samples[i], want.samples[i]) << i;
        EXPECT_EQ(got.markers_ms, want.marks);
        EXPECT_EQ(got.title, c.watch ? "list" : want.title);
    }
}

TEST(ReplayLoadSession, FreshSessionIsPausedAtItsFirstMinute) {
    TempDir dir;
    std::string text = kHeader;
    for (int i = 0; i < 200; ++i) text += row(1'000'000 + i * 1000, "10.1.2.3", 1, "10.0.0.1", 4);
    auto s = test::open_ok(write_file(dir.path(), "10.1.2.3_2026-03-01_094512.csv", text));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, "10.1.2.3");
    EXPECT_FALSE(s->is_watch);
    EXPECT_FALSE(s->playing);
    EXPECT_EQ(s->speed, 10u);
    EXPECT_EQ(s->position_ms, 1'060'000.0);
    EXPECT_EQ(s->next_index, 61u);
    EXPECT_TRUE(s->host_names.empty() && s->fail_counts.empty() && s->down_since.empty());
    std::lock_guard lock(s->state->mutex);
    EXPECT_EQ(s->state->state.status, "Playback");
    EXPECT_EQ(s->state->state.writer, nullptr);
    EXPECT_EQ(s->state->state.target_addr, Ipv4Addr(10, 1, 2, 3));

    // Shorter than a minute: everything fed, position at the end.
    auto short_one = test::open_ok(write_file(dir.path(), "s.csv", std::string(kHeader) + row(5, "x", 1, "", 1) +
                                                                    row(9, "x", 2, "", 1)));
    ASSERT_TRUE(short_one);
    EXPECT_EQ(short_one->position_ms, 9.0);
    EXPECT_EQ(short_one->next_index, 2u);
}

// The application side of a load, recorded.
struct FakeApp : ReplayHost {
    std::optional<std::string> banner;
    std::unique_ptr<ReplaySession> replay;
    int installs = 0;
    void set_error_banner(std::string text) override { banner = std::move(text); }
    void install_replay(std::unique_ptr<ReplaySession> s) override {
        replay = std::move(s);
        banner.reset();
        ++installs;
    }
};

struct FakePicker : HistoryFilePicker {
    std::optional<std::filesystem::path> answer;
    std::filesystem::path asked_in;
    std::optional<std::filesystem::path> pick_history_file(const std::filesystem::path& start) override {
        asked_in = start;
        return answer;
    }
};

TEST(ReplayLoadHistoryFile, CancelFailureAndSuccess) {
    TempDir dir;
    SharedSettings settings;
    settings.set_history_dir(dir.path() / "a" / "History");
    FakeApp app;
    FakePicker picker;

    load_history_file(app, picker, settings);  // cancelled
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a" / "History"));
    EXPECT_EQ(picker.asked_in, dir.path() / "a" / "History");
    EXPECT_FALSE(app.banner);
    EXPECT_EQ(app.installs, 0);

    picker.answer = write_file(dir.path(), "ok.csv", std::string(kHeader) + row(5, "x", 1, "", 1));
    load_history_file(app, picker, settings);
    ASSERT_EQ(app.installs, 1);
    ReplaySession* first = app.replay.get();

    // A later failure leaves the earlier session alone.
    picker.answer = write_file(dir.path(), "empty.csv", kHeader);
    load_history_file(app, picker, settings);
    EXPECT_EQ(app.banner, kNoProbeDataBanner);
    EXPECT_EQ(app.installs, 1);
    EXPECT_EQ(app.replay.get(), first);
}

}  // namespace
}  // namespace corvane
