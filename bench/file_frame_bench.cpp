// What big files and big folders on disk cost the frame. A window frame
// showing the list library while the list folder holds a list file of 100 MB
// (or of 10 MB, small enough to be read as a host list), or many small lists
// (with names that are UTF-8, or not); the open-list menu's rows over the
// folder of the big file, and the per-frame update (auto-save check
// included) with a 10 MB settings file loaded. CPU time on a headless ImGui
// context (no GPU work); the files are made once, in a private folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <imgui.h>
#include <unistd.h>

#include "frame_bench_support.h"
#include "main/app_update.h"
#include "main/saved_lists.h"
#include "main/settings_file.h"
#include "ui/views/tab_strip_popup.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

using frame_bench::headless_imgui;
using frame_bench::NullShell;

// APPDATA points at a folder of this process's own, removed at exit.
const fs::path& bench_folder() {
    static const fs::path dir = [] {
        const fs::path d = fs::temp_directory_path() / ("corvane_file_bench_" + std::to_string(::getpid()));
        fs::create_directories(d);
        ::setenv("APPDATA", d.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::temp_directory_path() / ("corvane_file_bench_" + std::to_string(::getpid())), ec);
        });
        return d;
    }();
    return dir;
}

// A small list beside one of `megabytes` MB: one host and label per line, all
// hosts different, as a list pasted from a big inventory export would be.
// Each size has a folder of its own.
void make_list_folder(std::int64_t megabytes) {
    const fs::path folder = bench_folder() / (std::to_string(megabytes) + "MB");
    ::setenv("APPDATA", folder.c_str(), 1);
    const fs::path lists = lists_dir();
    if (fs::exists(lists / "Huge.txt")) return;
    fs::create_directories(lists);
    std::ofstream(lists / "Office.txt") << "10.0.0.1 Core router\n10.0.0.2\ngateway Edge link\n";
    std::ofstream huge(lists / "Huge.txt", std::ios::binary);
    std::string block;
    char line[64];
    std::uint64_t written = 0, n = 0;
    while (written < static_cast<std::uint64_t>(megabytes) * 1'000'000) {
        block.clear();
        for (int i = 0; i < 4096; ++i, ++n) {
            const int len = std::snprintf(line, sizeof line, "10.%u.%u.%u host-%llu\n", unsigned(n >> 16 & 255),
                                          unsigned(n >> 8 & 255), unsigned(n & 255),
                                          static_cast<unsigned long long>(n));
            block.append(line, static_cast<std::size_t>(len));
        }
        huge << block;
        written += block.size();
    }
}

App app_showing_library() {
    App app;
    app.trace_tabs.push_back(new_trace_tab(std::string()));
    app.view_mode = ViewMode::Watch;  // no watch tab open: the library fills the page
    app.maximized = false;
    app.saved_list_names = list_saved_list_files();
    app.last_saved_settings = format_settings_ini(live_settings(app));
    return app;
}

void BM_WindowFrameLibrary(benchmark::State& bench) {
    make_list_folder(bench.range(0));
    headless_imgui();
    AppFrame frame(app_showing_library);
    NullShell shell;
    frame_bench::window_frame(frame, shell);  // the frame that first shows the library; the rest repeat it
    for (auto _ : bench) frame_bench::window_frame(frame, shell);
}
BENCHMARK(BM_WindowFrameLibrary)->ArgName("list_MB")->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

// A folder of `count` small lists named list-00001.txt and on, or, with
// `invalid`, bad\xff\xfe00001.txt and on: names that are not UTF-8, as a
// folder copied from a system with another encoding holds them. The library
// shows them at the top, as after start-up.
void make_many_lists(std::int64_t count, bool invalid) {
    const fs::path folder = bench_folder() / ((invalid ? "bad-" : "good-") + std::to_string(count));
    ::setenv("APPDATA", folder.c_str(), 1);
    const fs::path lists = lists_dir();
    if (fs::exists(lists)) return;
    fs::create_directories(lists);
    for (std::int64_t i = 1; i <= count; ++i) {
        char stem[32];
        std::snprintf(stem, sizeof stem, invalid ? "bad\xff\xfe%05lld" : "list-%05lld", static_cast<long long>(i));
        std::ofstream(lists / (std::string(stem) + ".txt")) << "10.0.0.1 Core router\n10.0.0.2\ngateway Edge link\n";
    }
}

void BM_WindowFrameManyLists(benchmark::State& bench) {
    make_many_lists(bench.range(0), bench.range(1) != 0);
    headless_imgui();
    AppFrame frame(app_showing_library);
    NullShell shell;
    frame_bench::window_frame(frame, shell);
    for (auto _ : bench) frame_bench::window_frame(frame, shell);
}
BENCHMARK(BM_WindowFrameManyLists)
    ->ArgNames({"lists", "not_utf8"})
    ->Args({8, 0})
    ->Args({300, 0})
    ->Args({3000, 0})
    ->Args({300, 1})
    ->Args({3000, 1})
    ->Unit(benchmark::kMillisecond);

// The rows the open-list menu builds each frame while it is open.
void BM_OpenListMenu(benchmark::State& bench) {
    make_list_folder(bench.range(0));
    headless_imgui();
    const App app = app_showing_library();
    ImGui::NewFrame();
    benchmark::DoNotOptimize(open_list_menu_rows(app));  // the menu's first frame
    for (auto _ : bench) benchmark::DoNotOptimize(open_list_menu_rows(app));
    ImGui::EndFrame();
}
BENCHMARK(BM_OpenListMenu)->ArgName("list_MB")->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

// A settings file of 10 MB: four trace targets of 1.5 MB, twelve recent
// targets of 250 KB and a history folder of 1 MB, as a file grown by a tool
// gone wrong would hold. The App is built from it as start-up builds it,
// without starting the tabs.
App app_from_big_settings() {
    ::setenv("APPDATA", bench_folder().c_str(), 1);
    const fs::path ini = bench_folder() / "big-settings.ini";
    if (!fs::exists(ini)) {
        std::string text = "tabs=";
        for (int i = 0; i < 4; ++i) text += std::string(1'500'000, char('a' + i)) + ".example ";
        text += "\nrecent=";
        for (int i = 0; i < 12; ++i) text += std::string(250'000, char('k' + i)) + ".example ";
        text += "\nhistory_dir=/var/tmp/" + std::string(1'000'000, 'h') + "\n";
        std::ofstream(ini, std::ios::binary) << text;
    }
    const Settings s = load_settings_file(ini).settings;
    App app;
    for (const std::string& target : s.tabs) app.trace_tabs.push_back(new_trace_tab(target));
    app.shared->set_history_dir(s.history_dir);
    app.recent = s.recent;
    app.maximized = false;
    app.last_saved_settings = format_settings_ini(s);
    return app;
}

void BM_AppUpdate10MBSettings(benchmark::State& bench) {
    App app = app_from_big_settings();
    NullShell shell;
    FrameContext ctx{shell, {}, {}};
    FrameView view;
    app_update(app, ctx, {}, view);  // settles whatever the first frame saves
    for (auto _ : bench) {
        app_update(app, ctx, {}, view);
        benchmark::DoNotOptimize(view.verdicts);
    }
}
BENCHMARK(BM_AppUpdate10MBSettings)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
