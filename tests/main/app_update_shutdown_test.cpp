// Ending the program: every session stops, and every probe that went out has
// its row in the history files once the end returns.
#include <gtest/gtest.h>

#include <fstream>

#include "app_update_test_fakes.h"
#include "engine/watch_session.h"
#include "main/app_update_shutdown.h"
#include "support/scripted_echo.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

Ipv4Addr ip(const char* text) { return *Ipv4Addr::parse(text); }

struct CsvFile {
    std::string header;
    std::vector<std::string> rows;
};

// The history files of the folder, by the start of their names.
std::map<std::string, CsvFile> read_history(const fs::path& dir) {
    std::map<std::string, CsvFile> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".csv") continue;
        const std::string name = e.path().filename().string();
        CsvFile& f = out[name.substr(0, name.find('_'))];
        std::ifstream in(e.path());
        std::getline(in, f.header);
        for (std::string line; std::getline(in, line);) f.rows.push_back(line);
    }
    return out;
}

TEST(AppUpdateShutdown, EveryProbeSentIsInTheHistoryWhenTheEndReturns) {
    const int threads_before = test::baseline_thread_count();
    test::AppFolders folders;
    test::ScriptedEcho echo;
    test::ScriptedNames names;
    const Ipv4Addr dest = ip("10.0.0.1"), host = ip("10.1.0.1");
    echo.set_route(dest, test::scripted_route({ip("10.9.0.1"), ip("10.9.0.2")}));
    echo.set_route(host, test::scripted_route({}));

    App app;
    app.shared->probe_ms = 30;  // many rows still buffered at any moment
    app.shared->route_secs = 0;
    set_history_dir(app, folders.history());
    app.trace_tabs.push_back(new_trace_tab("10.0.0.1"));
    start_trace_tab(app.trace_tabs[0], app.shared);
    app.watch_tabs.push_back(new_watch_tab("Office"));
    start_watch_tab(app.watch_tabs[0], app.shared, {WatchHost{"10.1.0.1", std::nullopt}});
    ASSERT_TRUE(test::wait_until([&] { return echo.requests(dest, 3) > 10 && echo.requests(host, kWatchTtl) > 10; }));

    EXPECT_TRUE(shut_down_sessions(app));
    EXPECT_TRUE(app.trace_tabs[0].stop->load());
    EXPECT_TRUE(app.watch_tabs[0].stop->load());

    const auto files = read_history(folders.history());
    ASSERT_EQ(files.count("10.0.0.1"), 1u);
    ASSERT_EQ(files.count("watch"), 1u);
    const CsvFile& trace = files.at("10.0.0.1");
    const CsvFile& watch = files.at("watch");
    EXPECT_EQ(trace.header, kHistoryHeader);
    EXPECT_EQ(watch.header, kHistoryHeader);
    // Route discovery sent one echo per TTL that wrote no row.
    const std::uint64_t probes = echo.requests(dest, 1) + echo.requests(dest, 2) + echo.requests(dest, 3) - 3;
    EXPECT_EQ(trace.rows.size(), probes);
    EXPECT_EQ(watch.rows.size(), echo.requests(host, kWatchTtl));
    for (const std::string& row : trace.rows) EXPECT_EQ(std::count(row.begin(), row.end(), ','), 6) << row;
    EXPECT_TRUE(test::threads_back_to(threads_before));  // the reverse lookups too
}

TEST(AppUpdateShutdown, TabsThatNeverRanEndAtOnce) {
    test::AppFolders folders;
    App app;
    app.trace_tabs.push_back(new_trace_tab(""));
    app.watch_tabs.push_back(new_watch_tab("Empty"));
    EXPECT_TRUE(shut_down_sessions(app, 0ms));
}

}  // namespace
}  // namespace corvane
