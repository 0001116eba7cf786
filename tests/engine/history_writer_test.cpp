#include "engine/history_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <map>
#include <regex>
#include <thread>

#include "engine/clock.h"
#include "engine/history_format.h"
#include "platform/os_error.h"
#include "support/test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::ScopedEnv;
using test::TempDir;

using test::ScopedTimeZone;

// Plays a disk that takes `accept` more bytes and then reports ENOSPC;
// a negative `accept` lets every write through.
struct FakeDisk {
    static inline std::atomic<long> accept{-1};
    static ssize_t write(int fd, const void* data, std::size_t size) {
        const long a = accept.load();
        if (a < 0) return ::write(fd, data, size);
        if (a == 0) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t n = ::write(fd, data, std::min<std::size_t>(size, static_cast<std::size_t>(a)));
        if (n > 0) accept -= n;
        return n;
    }
    FakeDisk() { set_history_write_function(&FakeDisk::write); }
    ~FakeDisk() {
        set_history_write_function(nullptr);
        accept = -1;
    }
};

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(sep, start)) != std::string::npos; start = at + 1) {
        out.push_back(text.substr(start, at - start));
    }
    out.push_back(text.substr(start));
    return out;
}

// The lines of a file that must end with a line feed.
std::vector<std::string> file_lines(const fs::path& path) {
    const std::string text = read_file(path);
    EXPECT_TRUE(!text.empty() && text.back() == '\n') << path;
    auto lines = split(text, '\n');
    lines.pop_back();
    return lines;
}

// A well-formed row: seven fields whose time text is the local form of its
// unix_ms. Returns the fields from target on, or nothing.
std::optional<std::string> row_tail(const std::string& line) {
    const auto f = split(line, ',');
    if (f.size() != 7) return std::nullopt;
    if (!std::regex_match(f[1], std::regex(R"(\d{10,})"))) return std::nullopt;
    if (f[0] != format_local_time(std::stoll(f[1]), "%Y-%m-%d %H:%M:%S%.3f")) return std::nullopt;
    return line.substr(f[0].size() + f[1].size() + 2);
}

class HistoryWriterTest : public ::testing::Test {
protected:
    HistoryWriterTest() {
        settings->set_history_dir(dir());
    }

    fs::path dir() const { return tmp.path() / "hist"; }

    HistoryWriterPtr make_writer(const std::string& name, const std::string& base,
                                 const char* log = kRouteChangesLog) {
        auto w = new_history_writer(settings, name, base, log);
        state->state.writer = w;
        return w;
    }

    std::vector<fs::path> csv_files() const {
        std::vector<fs::path> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir(), ec)) {
            if (e.path().extension() == ".csv") out.push_back(e.path());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    void row(HistoryWriter& w, std::uint32_t hop, std::optional<std::uint32_t> rtt = 1) {
        write_history_row(w, state, hop, "t", Ipv4Addr(10, 0, 0, 1), rtt);
    }

    TempDir tmp;
    ScopedTimeZone tz{"UTC"};
    SharedSettingsPtr settings = std::make_shared<SharedSettings>();
    SharedTraceState state = make_shared_state(new_monitor_state());
};

TEST_F(HistoryWriterTest, FileNameHeaderAndRowFormats) {
    auto w = make_writer("192.168.1.1", sanitize_file_name("192.168.1.1"));
    EXPECT_EQ(w->stamp, format_local_time(w->created_ms, "%Y-%m-%d_%H%M%S"));
    EXPECT_FALSE(fs::exists(dir())) << "a new writer creates nothing";

    write_history_row(*w, state, 0, "192.168.1.1", Ipv4Addr(10, 0, 0, 1), 12);
    write_history_row(*w, state, 1, "192.168.1.1", std::nullopt, std::nullopt);    // lost trace probe
    write_history_row(*w, state, 2, "a,b\nc\rd", Ipv4Addr(192, 168, 1, 9), std::nullopt);  // lost watch probe
    write_history_row(*w, state, 29, "x", Ipv4Addr(1, 2, 3, 4), 0);
    flush_history_csv(*w);

    const fs::path expected = dir() / ("192.168.1.1_" + w->stamp + ".csv");
    EXPECT_EQ(state->state.history_file, expected.string());
    EXPECT_FALSE(state->state.history_error);
    EXPECT_EQ(csv_files(), std::vector<fs::path>{expected});

    const auto lines = file_lines(expected);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "time,unix_ms,target,hop,address,rtt_ms,result");
    const char* tails[] = {"192.168.1.1,1,10.0.0.1,12,ok", "192.168.1.1,2,,,lost", "a b c d,3,192.168.1.9,,lost",
                           "x,30,1.2.3.4,0,ok"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(row_tail(lines[i + 1]), tails[i]) << lines[i + 1];
}

TEST(HistoryNames, SanitizeFileName) {
    const std::pair<std::string, std::string> cases[] = {
        {"192.168.1.1", "192.168.1.1"},
        {"my host", "my_host"},
        {"Core routers", "Core_routers"},
        {"", ""},
        {"a/b\\c:d*e", "a_b_c_d_e"},
        {"caf\xc3\xa9", "caf_"},                    // two-byte character
        {"\xe6\x97\xa5\xe6\x9c\xac-1", "__-1"},     // two three-byte characters
        {"\xf0\x9f\x98\x80.x", "_.x"},              // four-byte character
        {"\xff\xfe", "__"},                         // invalid bytes count one each
        {"\xe6\x97", "__"},                         // a cut-off character
        {"\xc0\xaf", "__"},                         // overlong form
        {"\xed\xa0\x80", "___"},                    // surrogate
        {"a\xc3", "a_"},                            // lead byte at the very end
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(sanitize_file_name(in), out) << in;
}

TEST(HistoryNames, FileNameFitsTheFileSystem) {
    const std::string stamp = "2026-03-01_094512";
    const std::string tail = "_" + stamp + ".csv";
    struct Case {
        std::string base;
        std::string expected_base;
    };
    const Case cases[] = {
        {"192.168.1.1", "192.168.1.1"},
        {std::string(233, 'a'), std::string(233, 'a')},
        {std::string(234, 'a'), std::string(233, 'a')},
        {std::string(1000, 'b'), std::string(233, 'b')},
        // The cut would split the two-byte character: it goes whole.
        {std::string(232, 'c') + "\xc3\xa9" + "zz", std::string(232, 'c')},
    };
    for (const auto& c : cases) {
        const std::string name = history_file_name(c.base, stamp);
        EXPECT_EQ(name, c.expected_base + tail) << c.base.size();
        EXPECT_LE(name.size(), kMaxFileNameBytes);
    }
}

TEST_F(HistoryWriterTest, LongTargetStillGetsAFile) {
    const std::string target = std::string(300, 'x') + ".example";
    auto w = make_writer(target, sanitize_file_name(target));
    write_history_row(*w, state, 0, target, Ipv4Addr(10, 0, 0, 1), 5);
    flush_history_csv(*w);
    EXPECT_FALSE(state->state.history_error) << *state->state.history_error;
    ASSERT_TRUE(state->state.history_file);
    const fs::path path = *state->state.history_file;
    EXPECT_EQ(path.filename().string().size(), 255u);
    EXPECT_EQ(path.filename().string(), std::string(233, 'x') + "_" + w->stamp + ".csv");
    const auto lines = file_lines(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(row_tail(lines[1]), target + ",1,10.0.0.1,5,ok");
}

TEST_F(HistoryWriterTest, SavingSwitchedOnMidSession) {
    settings->save_history = false;
    auto w = make_writer("t", "t");
    row(*w, 0);
    append_event_log_line(*w, state, "ignored");
    flush_history_csv(*w);
    EXPECT_FALSE(fs::exists(dir()));
    EXPECT_FALSE(state->state.history_file);

    settings->save_history = true;
    row(*w, 4, 7);
    flush_history_csv(*w);
    const fs::path expected = dir() / ("t_" + w->stamp + ".csv");
    EXPECT_EQ(csv_files(), std::vector<fs::path>{expected});
    EXPECT_EQ(state->state.history_file, expected.string());
    const auto lines = file_lines(expected);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], kHistoryHeader);
    EXPECT_EQ(row_tail(lines[1]), "t,5,10.0.0.1,7,ok");
}

TEST_F(HistoryWriterTest, UncreatableFolderLatchesWhicheverWriteComesFirst) {
    for (const bool row_first : {true, false}) {
        SCOPED_TRACE(row_first ? "row first" : "event first");
        TempDir own;
        { std::ofstream(own.path() / "plain") << "not a folder"; }
        const fs::path bad = own.path() / "plain" / "sub";
        settings->set_history_dir(bad);
        state = make_shared_state(new_monitor_state());
        auto w = make_writer("t", "t");

        if (row_first) {
            row(*w, 0);
        } else {
            append_event_log_line(*w, state, "first");
        }
        EXPECT_TRUE(w->failed);
        EXPECT_EQ(state->state.history_error, "Could not create " + bad.string() + ": " + os_error_text(ENOTDIR));

        // Latched for good: not even a folder that works now gets anything.
        settings->set_history_dir(dir());
        state->state.history_error.reset();
        row(*w, 1);
        append_event_log_line(*w, state, "second");
        push_route_event(state, RouteEventKind::Info, "third");
        flush_history_csv(*w);
        EXPECT_FALSE(fs::exists(dir()));
        EXPECT_FALSE(state->state.history_error);
        EXPECT_FALSE(state->state.history_file);
        EXPECT_EQ(state->state.events.size(), 1u) << "the event itself is still kept";
    }
}

TEST_F(HistoryWriterTest, UncreatableFileLatches) {
    // A stem naming a missing sub-folder can't be created, even by root.
    auto w = make_writer("t", "missing/t");
    row(*w, 0);
    const fs::path path = dir() / ("missing/t_" + w->stamp + ".csv");
    EXPECT_TRUE(w->failed);
    EXPECT_EQ(state->state.history_error, "Could not write " + path.string() + ": " + os_error_text(ENOENT));
    EXPECT_FALSE(state->state.history_file);

    state->state.history_error.reset();
    row(*w, 1);
    append_event_log_line(*w, state, "after the latch");
    EXPECT_FALSE(state->state.history_error);
    EXPECT_FALSE(fs::exists(dir() / kRouteChangesLog));
}

TEST_F(HistoryWriterTest, EventLogIsAppendedToAndSharedBySessions) {
    fs::create_directories(dir());
    { std::ofstream(dir() / kWatchEventsLog) << "old line\n"; }
    auto a = make_writer("Core routers", "watch_Core_routers", kWatchEventsLog);
    auto b = new_history_writer(settings, "Edge", "watch_Edge", kWatchEventsLog);
    append_event_log_line(*a, state, "gw is down");
    append_event_log_line(*b, state, "gw2 is back up after 5s");
    const std::string log = read_file(dir() / kWatchEventsLog);
    EXPECT_TRUE(std::regex_match(log, std::regex("old line\n"
                                                 R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  Core routers  gw is down\n)"
                                                 R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  Edge  gw2 is back up after 5s\n)")))
        << log;
    EXPECT_TRUE(csv_files().empty());

    // A link planted in a shared history folder is not followed: the file it
    // names stays as it was, and the refusal is told as a failed write.
    const fs::path victim = tmp.path() / "victim";
    { std::ofstream(victim) << "keep\n"; }
    fs::create_symlink(victim, dir() / kRouteChangesLog);
    auto c = make_writer("h", "h");
    append_event_log_line(*c, state, "route changed");
    EXPECT_EQ(read_file(victim), "keep\n");
    const std::string told = "Could not write " + (dir() / kRouteChangesLog).string() + ": " + os_error_text(ELOOP);
    EXPECT_EQ(state->state.history_error, told);
    EXPECT_FALSE(c->failed.load());  // event-log failures never stop the history
    row(*c, 0);
    EXPECT_TRUE(state->state.history_file) << "the rows go on";
    state->state.history_error.reset();
    append_event_log_line(*c, state, "route changed again");
    EXPECT_FALSE(state->state.history_error) << "told once per session";
}

TEST_F(HistoryWriterTest, SameSecondSessionsNeverShareOrReplaceAFile) {
    const std::int64_t t = now_unix_ms();
    const std::string s0 = history_stamp(t), s1 = history_stamp(t + 1000), s2 = history_stamp(t + 2000),
                      s3 = history_stamp(t + 3000);
    auto state_b = make_shared_state(new_monitor_state());
    auto a = std::make_shared<HistoryWriter>(settings, "h", "h", kRouteChangesLog, t);
    auto b = std::make_shared<HistoryWriter>(settings, "h", "h", kRouteChangesLog, t);
    write_history_row(*a, state, 0, "h", std::nullopt, std::nullopt);
    write_history_row(*b, state_b, 1, "h", std::nullopt, std::nullopt);
    write_history_row(*a, state, 2, "h", std::nullopt, std::nullopt);
    write_history_row(*b, state_b, 3, "h", std::nullopt, std::nullopt);
    a.reset();
    b.reset();

    EXPECT_EQ(state->state.history_file, (dir() / ("h_" + s0 + ".csv")).string());
    EXPECT_EQ(state_b->state.history_file, (dir() / ("h_" + s1 + ".csv")).string());
    const auto la = file_lines(*state->state.history_file);
    const auto lb = file_lines(*state_b->state.history_file);
    ASSERT_EQ(la.size(), 3u);
    ASSERT_EQ(lb.size(), 3u);
    EXPECT_EQ(row_tail(la[1]), "h,1,,,lost");
    EXPECT_EQ(row_tail(la[2]), "h,3,,,lost");
    EXPECT_EQ(row_tail(lb[1]), "h,2,,,lost");
    EXPECT_EQ(row_tail(lb[2]), "h,4,,,lost");

    // A third session of that second skips both and leaves their rows alone.
    auto state_c = make_shared_state(new_monitor_state());
    auto c = std::make_shared<HistoryWriter>(settings, "h", "h", kRouteChangesLog, t);
    write_history_row(*c, state_c, 0, "h", std::nullopt, 3);
    c.reset();
    EXPECT_EQ(state_c->state.history_file, (dir() / ("h_" + s2 + ".csv")).string());
    EXPECT_EQ(file_lines(dir() / ("h_" + s0 + ".csv")), la);
    EXPECT_EQ(file_lines(dir() / ("h_" + s1 + ".csv")), lb);
    EXPECT_FALSE(fs::exists(dir() / ("h_" + s3 + ".csv")));
}

TEST_F(HistoryWriterTest, BufferedRowsReachTheFile) {
    for (const bool by_destructor : {true, false}) {
        SCOPED_TRACE(by_destructor ? "last reference dropped" : "flush all at exit");
        TempDir own;
        settings->set_history_dir(own.path());
        state = make_shared_state(new_monitor_state());
        auto w = make_writer("t", "t");
        row(*w, 0);
        row(*w, 1);
        row(*w, 2);
        ASSERT_TRUE(state->state.history_file);
        const fs::path path = *state->state.history_file;
        EXPECT_EQ(fs::file_size(path), 0u) << "rows wait in the buffer";
        if (by_destructor) {
            state->state.writer.reset();
            w.reset();
        } else {
            flush_all_history_writers();
        }
        const auto lines = file_lines(path);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(row_tail(lines[3]), "t,3,10.0.0.1,1,ok");
    }
}

// A full disk may take part of a row; that part is cut off before writing
// resumes, and at the end, so every line stays a whole row.
TEST_F(HistoryWriterTest, FailedWritesLeaveOnlyWholeRowsAndSpeakOnce) {
    struct Case {
        const char* name;
        long accepted;         // bytes the disk takes before it is full
        bool overflow_buffer;  // fail inside a row write rather than a flush
    };
    const Case cases[] = {
        {"flush fails at a line boundary", 0, false},
        {"flush fails mid-line", 5, false},
        {"full buffer fails at a line boundary", 0, true},
        {"full buffer fails mid-line", 30, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDisk disk;
        TempDir own;
        settings->set_history_dir(own.path());
        state = make_shared_state(new_monitor_state());
        auto w = make_writer("t", "t");
        row(*w, 0);
        flush_history_csv(*w);
        const fs::path path = *state->state.history_file;
        const std::string expected_error = "Could not write " + path.string() + ": " + os_error_text(ENOSPC);

        FakeDisk::accept = c.accepted;
        if (c.overflow_buffer) {
            for (int i = 0; i < 400 && !state->state.history_error; ++i) row(*w, 1);
            EXPECT_EQ(state->state.history_error, expected_error) << "reported by the row write itself";
        } else {
            row(*w, 1);
            flush_history_csv(*w);
            EXPECT_FALSE(state->state.history_error) << "a flush has no state to report to";
        }
        FakeDisk::accept = -1;
        row(*w, 2);
        EXPECT_EQ(state->state.history_error, expected_error);
        flush_history_csv(*w);
        EXPECT_FALSE(w->failed) << "a full disk must not end the session's history";

        // Only the first failure is reported.
        state->state.history_error.reset();
        FakeDisk::accept = 0;
        row(*w, 3);
        flush_history_csv(*w);
        FakeDisk::accept = -1;
        row(*w, 4);
        flush_history_csv(*w);
        EXPECT_FALSE(state->state.history_error);

        // The session ends while the disk takes only part of its last rows.
        row(*w, 5);
        FakeDisk::accept = c.accepted;
        state->state.writer.reset();
        w.reset();

        const auto lines = file_lines(path);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], kHistoryHeader);
        EXPECT_EQ(row_tail(lines[1]), "t,1,10.0.0.1,1,ok");
        for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_TRUE(row_tail(lines[i])) << i << ": " << lines[i];
        EXPECT_EQ(row_tail(lines.back()), "t,5,10.0.0.1,1,ok");
        EXPECT_EQ(row_tail(lines[lines.size() - 2]), "t,3,10.0.0.1,1,ok");
    }
}

TEST_F(HistoryWriterTest, ConcurrentWritersLoseNoRows) {
    auto w = make_writer("t", "t");
    constexpr int kThreads = 6, kRows = 400;
    std::atomic<bool> done{false};
    std::thread flusher([&] {
        while (!done) flush_history_csv(*w);
    });
    std::vector<std::thread> threads;
    for (int h = 0; h < kThreads; ++h) {
        threads.emplace_back([&, h] {
            for (int i = 0; i < kRows; ++i) {
                write_history_row(*w, state, h, "t", Ipv4Addr(10, 0, 0, 1), i);
                if (i % 100 == 0) push_route_event(state, RouteEventKind::Info, "hop " + std::to_string(h));
            }
        });
    }
    for (auto& t : threads) t.join();
    done = true;
    flusher.join();
    state->state.writer.reset();
    w.reset();

    const auto lines = file_lines(csv_files().at(0));
    ASSERT_EQ(lines.size(), 1u + kThreads * kRows);
    std::map<std::string, int> per_hop;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto tail = row_tail(lines[i]);
        ASSERT_TRUE(tail) << lines[i];
        ++per_hop[split(*tail, ',')[1]];
    }
    for (int h = 1; h <= kThreads; ++h) EXPECT_EQ(per_hop[std::to_string(h)], kRows);
    EXPECT_EQ(file_lines(dir() / kRouteChangesLog).size(), static_cast<std::size_t>(kThreads * kRows / 100));
}

TEST(HistoryNames, DefaultHistoryDir) {
    struct Case {
        std::optional<std::string> local, roaming;
        fs::path expected;
    };
    const Case cases[] = {
        {"/l", "/r", "/l/Corvane/History"},
        {std::nullopt, "/r", "/r/Corvane/History"},
        {"", "/r", "/r/Corvane/History"},
    };
    for (const auto& c : cases) {
        ScopedEnv l("LOCALAPPDATA", c.local);
        ScopedEnv r("APPDATA", c.roaming);
        EXPECT_EQ(default_history_dir(), c.expected);
    }
}

}  // namespace
}  // namespace corvane
