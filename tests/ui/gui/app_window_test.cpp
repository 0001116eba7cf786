// The real program on its own: it restores a trace tab from settings.ini,
// probes a route of the simulated network, shows the palette's panels and
// names in other scripts, and when told to end (SIGTERM) leaves a row in the
// history for every probe.
#include <sys/wait.h>

#include <fstream>
#include <string>
#include <vector>

#include "app_window_support.h"
#include "support/net_support.h"

namespace corvane::gui_test {
namespace {

TEST_F(AppWindow, TheRestoredTraceShowsThePalettesPanels) {
    const fs::path root = prepare("capture");
    RunningApp app = start(root);
    // Pictured once the restored trace is under way: its route found, rows
    // for its hops in the history.
    ASSERT_TRUE(wait_for_history(root, 12)) << "the restored trace never ran: " << app.log();
    const Picture shot = app.picture();
    ASSERT_TRUE(shot.loaded()) << app.log();
    ASSERT_EQ(shot.width(), 1400);
    ASSERT_EQ(shot.height(), 880);
    struct Probe {
        const char* what;
        int x, y;
        Rgb want;
    };
    const Probe probes[] = {
        {"toolbar", 940, 30, {10, 10, 10}},  // between the interval choices and the clock switch
        {"toolbar line", 700, 59, {31, 31, 31}},
        {"tab strip", 700, 80, {13, 13, 13}},
        {"tab strip line", 700, 99, {31, 31, 31}},
        {"summary strip top", 700, 101, {17, 17, 17}},
        {"summary strip line", 700, 203, {31, 31, 31}},
        {"hop table", 700, 300, {10, 10, 10}},
        {"chart card outline", 700, 628, {31, 31, 31}},
        {"chart card", 700, 730, {17, 17, 17}},
        {"chart panel margin", 12, 730, {10, 10, 10}},
        {"status bar line", 700, 852, {31, 31, 31}},
        {"status bar", 700, 866, {13, 13, 13}},
    };
    for (const Probe& p : probes) EXPECT_EQ(shot.at(p.x, p.y), p.want) << p.what;
}

// The program with the watch list "Glyphs" restored, its hosts labelled.
class WatchLabels : public AppWindow {
protected:
    // A picture of the window showing `labels`, one per host, in a run of its
    // own.
    Picture capture(const std::string& run, const std::vector<std::string>& labels) {
        const fs::path root = prepare(run, "", "mode=watch\nwatch_tabs=Glyphs\n");
        fs::create_directories(root / "roaming" / "Corvane" / "Lists");
        std::ofstream list(root / "roaming" / "Corvane" / "Lists" / "Glyphs.txt");
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const std::string host = "10.77.100." + std::to_string(i + 1);
            list << host << " " << labels[i] << "\n";
            // Every host answers: one reported down would bring a banner
            // that moves the rows, however late the picture is taken.
            sim_->set_destination(test::sim_route(host, kRouteHops, 1));
        }
        list.close();
        RunningApp app = start(root);
        // Once the rows are drawn: the first one, selected.
        constexpr Spot kFirstRowSelected{700, 255, {84, 25, 9}};
        Picture shot = app.picture_showing(kFirstRowSelected);
        EXPECT_TRUE(shot.shows(kFirstRowSelected)) << "the rows never showed: " << app.log();
        return shot;
    }
};

TEST_F(WatchLabels, NamesInOtherScriptsShowTheirOwnLetters) {
    // U+2FE0 is a character no font holds. The first row, selected, only
    // shows that the rows are where the test looks.
    const Picture shown(capture("scripts", {"x", "Москва", "Ωmega", "\u2fe0\u2fe0\u2fe0\u2fe0\u2fe0\u2fe0"}));
    const Picture asked(capture("asked", {"x", "??????", "?mega", "??????"}));
    ASSERT_TRUE(shown.loaded());
    ASSERT_TRUE(asked.loaded());
    // The label line of table row `row` (from 0), where the names are drawn.
    const auto same_label = [](const Picture& a, int row_a, const Picture& b, int row_b) {
        constexpr int kFirstRowTop = 250, kRowPitch = 44;
        for (int y = 4; y < 26; ++y)
            for (int x = 60; x < 360; ++x)
                if (!(a.at(x, kFirstRowTop + kRowPitch * row_a + y) == b.at(x, kFirstRowTop + kRowPitch * row_b + y)))
                    return false;
        return true;
    };
    ASSERT_TRUE(same_label(shown, 0, asked, 0)) << "the rows are not where the test looks";
    EXPECT_FALSE(same_label(shown, 1, asked, 1)) << "Cyrillic drawn as \"?\"";
    EXPECT_FALSE(same_label(shown, 1, shown, 3)) << "Cyrillic drawn as the replacement box";
    EXPECT_FALSE(same_label(shown, 2, asked, 2)) << "Greek drawn as \"?\"";
    EXPECT_FALSE(same_label(shown, 3, asked, 3)) << "a character no font holds drawn as \"?\"";
}

TEST_F(AppWindow, EndingOnSigtermKeepsEveryProbeInTheHistory) {
    const fs::path root = prepare("sigterm");
    const std::uint64_t requests_before = sim_->counters().requests;
    RunningApp app = start(root);
    // Rows of every hop on disk, then the signal.
    ASSERT_TRUE(wait_for_history(root, 12)) << "the restored trace never ran: " << app.log();
    const int status = app.end();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << app.log();

    expect_every_probe_kept(root / "history", sim_->counters().requests - requests_before);
}

}  // namespace
}  // namespace corvane::gui_test
