#include "ui/views/playback_bar.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <variant>

#include "engine/clock_text.h"
#include "headless_imgui.h"
#include "pointer_sweep.h"
#include "replay/history_loader.h"
#include "replay/replay_playback.h"
#include "support/scripted_echo.h"
#include "support/test_support.h"
#include "ui/item_log.h"
#include "ui/palette.h"
#include "ui/views/playback_bar_layout.h"

namespace corvane {

namespace {

using namespace toolbar_testing;

constexpr std::int64_t kStart = 1772358313000;  // 2026-03-01 09:45:13 UTC

// --- Arithmetic and texts --------------------------------------------------

TEST(PlaybackBarLayout, TimelineKeepsAtLeast200) {
    const std::pair<float, float> cases[] = {{1000, 750}, {450, 200}, {451, 201}, {100, 200}, {-50, 200}};
    for (auto [available, width] : cases) EXPECT_FLOAT_EQ(timeline_width(available), width) << available;
    EXPECT_FLOAT_EQ(timeline_width(std::numeric_limits<float>::quiet_NaN()), 200);
}

TEST(PlaybackBarLayout, TimelineScaleClampsAndNeverDividesByZero) {
    const TimelineScale s{100, 400, kStart, kStart + 60000};
    EXPECT_FLOAT_EQ(s.x_of(kStart), 100);
    EXPECT_FLOAT_EQ(s.x_of(kStart + 30000), 300);
    EXPECT_FLOAT_EQ(s.x_of(kStart - 5000), 100);          // before the start
    EXPECT_FLOAT_EQ(s.x_of(kStart + 120000), 500);        // past the end
    EXPECT_DOUBLE_EQ(s.time_at(300), kStart + 30000.0);
    EXPECT_DOUBLE_EQ(s.time_at(-1000), kStart);           // dragged past the left end
    EXPECT_DOUBLE_EQ(s.time_at(5000), kStart + 60000.0);  // and past the right end

    // One sample: a span of 1 ms, the knob at the left end.
    const TimelineScale one{100, 400, kStart, kStart};
    EXPECT_DOUBLE_EQ(one.span(), 1.0);
    EXPECT_FLOAT_EQ(one.x_of(kStart), 100);
    EXPECT_DOUBLE_EQ(one.time_at(500), kStart + 1.0);

    // Extreme ends must not overflow into a negative span.
    const TimelineScale wide{0, 200, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
    EXPECT_GT(wide.span(), 1.0);
    EXPECT_FLOAT_EQ(wide.x_of(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(PlaybackBarText, RouterChangeCount) {
    EXPECT_EQ(router_change_label(0), "");
    EXPECT_EQ(router_change_label(1), "1 router change");
    EXPECT_EQ(router_change_label(2), "2 router changes");
    EXPECT_EQ(router_change_label(11), "11 router changes");
}

TEST(PlaybackBarText, DatesFollowTheClockSetting) {
    test::ScopedTimeZone tz("UTC");
    struct Case {
        std::int64_t ms;
        bool utc;
        std::string text;
    };
    const Case cases[] = {
        {1772719509000, true, "Mar 5, 14:05 UTC"},   // 2026-03-05 14:05:09 UTC
        {1772719509000, false, "Mar 5, 2:05 PM"},
        {1767225600000, true, "Jan 1, 00:00 UTC"},   // 2026-01-01 00:00 UTC
        {1767225600000, false, "Jan 1, 12:00 AM"},
        {1767268800000, false, "Jan 1, 12:00 PM"},   // noon
        {-1, true, "Dec 31, 23:59 UTC"},             // a moment before 1970 keeps its own minute
    };
    for (const Case& c : cases) {
        set_clock_utc(c.utc);
        EXPECT_EQ(format_replay_datetime(c.ms), c.text) << c.ms;
    }
    set_clock_utc(false);
}

TEST(PlaybackBarText, FileNameIsTheLastComponentMadeValid) {
    EXPECT_EQ(playback_file_name("/h/trace-10.0.0.1.csv"), "trace-10.0.0.1.csv");
    EXPECT_EQ(playback_file_name(""), "");
    EXPECT_EQ(playback_file_name(std::string("/h/a\xff" "b.csv")), "a\xEF\xBF\xBD" "b.csv");
}

// --- A loaded recording ----------------------------------------------------

// A trace recording of three hops over 60 s, one address change on hop 2.
// Names are never looked up: the script has none.
class PlaybackBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensure_headless_imgui();
        std::string csv = "time,unix_ms,target,hop,address,rtt_ms,result\n";
        for (int t = 0; t <= 60; t += 5)
            for (unsigned hop = 1; hop <= 3; ++hop) {
                std::string addr = "10.9.0." + std::to_string(hop);
                if (hop == 2 && t >= 30) addr = "10.9.1.2";
                csv += "2026-03-01 09:45:13.000," + std::to_string(kStart + t * 1000) + ",10.9.0.3," +
                       std::to_string(hop) + "," + addr + ",5,ok\n";
            }
        const auto path = dir.path() / "trace.csv";
        std::ofstream(path, std::ios::binary) << csv;
        auto opened = open_history_recording(path);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ReplaySession>>(opened));
        session = std::move(std::get<std::unique_ptr<ReplaySession>>(opened));
    }

    std::function<void()> build_fn(Rect content = kContent) {
        return [this, content] { draw_playback_bar(*session, leave, content); };
    }
    void click(ImVec2 at) { click_at(at, build_fn()); }
    std::vector<SweptItem> sweep(Rect content = kContent) {
        const float y = content.center().y;
        return toolbar_testing::sweep({content.left - 4, y}, {content.right + 4, y}, build_fn(content));
    }
    static ImVec2 centre(const SweptItem& i) { return {(i.left + i.right) / 2, kContent.center().y}; }

    static constexpr Rect kContent{24, 800, 1376, 864};
    test::ScriptedNames names;
    test::TempDir dir;
    std::unique_ptr<ReplaySession> session;
    bool leave = false;
};

TEST_F(PlaybackBarTest, RowHoldsPlaySpeedsTimelineAndBackToLive) {
    const auto items = sweep();
    // Play/pause, four speeds, the timeline, "Back to live" (the title only hovers).
    ASSERT_EQ(items.size(), 7u);
    EXPECT_NEAR(items[0].left, kContent.left, 2.5);
    EXPECT_NEAR(items[0].right - items[0].left, 38, 2.5);
    EXPECT_NEAR(items[6].right, kContent.right, 2.5);
    // The timeline is what the row has left, less 250.
    EXPECT_NEAR(items[5].right - items[5].left, (kContent.right - items[5].left) - 250, 2.5);

    click(centre(items[6]));  // "Back to live" only raises the flag
    EXPECT_TRUE(leave);
    EXPECT_FALSE(session->playing);
}

TEST_F(PlaybackBarTest, PlayPausesAndRestartsFromTheEnd) {
    const auto items = sweep();
    ASSERT_EQ(items.size(), 7u);
    ASSERT_FALSE(session->playing);
    session->last_tick = MonotonicTime{};
    click(centre(items[0]));
    EXPECT_TRUE(session->playing);
    EXPECT_FALSE(session->last_tick.has_value());
    session->last_tick = MonotonicTime{};
    click(centre(items[0]));
    EXPECT_FALSE(session->playing);
    EXPECT_FALSE(session->last_tick.has_value());

    // At the end, play starts over from the first sample.
    replay_seek(*session, static_cast<double>(session->end_ms));
    click(centre(items[0]));
    EXPECT_TRUE(session->playing);
    EXPECT_DOUBLE_EQ(session->position_ms, static_cast<double>(session->start_ms));
    std::lock_guard lock(session->state->mutex);
    ASSERT_FALSE(session->state->state.events.empty());
    EXPECT_EQ(session->state->state.events.front().text, "Recording started");
}

TEST_F(PlaybackBarTest, SpeedSegmentsSetTheSpeed) {
    auto items = sweep();
    ASSERT_EQ(items.size(), 7u);
    for (std::size_t i = 0; i < kPlaybackSpeeds.size(); ++i) {
        items = sweep();  // the segments resize as the current one turns semibold
        click(centre(items[1 + i]));
        EXPECT_EQ(session->speed, kPlaybackSpeeds[i].value);
    }
    // The current one again changes nothing else.
    const double position = session->position_ms;
    const bool playing = session->playing;
    items = sweep();
    click(centre(items[4]));
    EXPECT_EQ(session->speed, 600u);
    EXPECT_EQ(session->position_ms, position);
    EXPECT_EQ(session->playing, playing);
}

TEST_F(PlaybackBarTest, ClickingAndDraggingTheTimelineSeeks) {
    const auto items = sweep();
    ASSERT_EQ(items.size(), 7u);
    const SweptItem line = items[5];
    const float y = kContent.center().y;
    const float x_mid = (line.left + line.right) / 2;

    click({x_mid, y});
    EXPECT_NEAR(session->position_ms, kStart + 30000.0, 60000.0 * 3 / (line.right - line.left));

    // Dragged past the right end: the end; past the left: the start.
    test::run_frame({x_mid, y}, false, build_fn());
    test::run_frame({x_mid, y}, true, build_fn());
    test::run_frame({line.right + 300, y}, true, build_fn());
    EXPECT_DOUBLE_EQ(session->position_ms, static_cast<double>(session->end_ms));
    test::run_frame({line.left - 300, y}, true, build_fn());
    EXPECT_DOUBLE_EQ(session->position_ms, static_cast<double>(session->start_ms));
    test::run_frame({line.left - 300, y}, false, build_fn());
    std::lock_guard lock(session->state->mutex);
    EXPECT_EQ(session->state->state.events.size(), 1u);  // rebuilt from the start
}

TEST_F(PlaybackBarTest, HoveringTheTimelineShowsATimeBoxAboveThePanels) {
    const auto items = sweep();
    ASSERT_EQ(items.size(), 7u);
    const ImDrawData* d = test::run_frame(centre(items[5]), false, build_fn());
    bool box = false;
    for (int l = 0; l < d->CmdListsCount; ++l)
        if (d->CmdLists[l] == ImGui::GetForegroundDrawList())
            for (const ImDrawVert& v : d->CmdLists[l]->VtxBuffer) box |= v.col == to_imu32(palette::tooltip_bg);
    EXPECT_TRUE(box);
    EXPECT_TRUE(test::indices_in_range(d));
}

TEST_F(PlaybackBarTest, MarksAndProgressPaintTheirColours) {
    session->markers_ms = {kStart + 30000};
    replay_seek(*session, kStart + 45000.0);
    auto colours = vertex_colours(test::run_frame({0, 0}, false, build_fn()));
    EXPECT_TRUE(colours.count(to_imu32(palette::warn_amber)));   // the mark
    EXPECT_TRUE(colours.count(to_imu32(rgb(38, 30, 24))));        // the track
    EXPECT_TRUE(colours.count(to_imu32(palette::accent_dark)));  // progress starts dark

    // At the start there is no progress bar.
    replay_seek(*session, static_cast<double>(kStart));
    colours = vertex_colours(test::run_frame({0, 0}, false, build_fn()));
    EXPECT_FALSE(colours.count(to_imu32(palette::accent_dark)));
}

// On a short timeline the marks' label keeps clear of the dates: whole,
// ending in "…", or gone, never cut mid-letter.
TEST_F(PlaybackBarTest, TheMarksLabelKeepsClearOfTheDates) {
    session->markers_ms.assign(11, kStart + 30000);
    bool cut_short = false;
    for (const float right : {1376.0f, 900.0f, 820.0f, 700.0f}) {
        ItemLog log;
        set_item_log(&log);
        test::run_frame({0, 0}, false, build_fn({24, 800, right, 864}));
        set_item_log(nullptr);
        const LoggedText* label = nullptr;
        std::vector<const LoggedText*> dates;
        for (const LoggedText& t : log.texts) {
            if (t.text.starts_with("11 ")) label = &t;
            if (t.text == format_replay_datetime(session->start_ms) || t.text == format_replay_datetime(session->end_ms))
                dates.push_back(&t);
        }
        ASSERT_EQ(dates.size(), 2u) << right;
        if (!label) continue;
        EXPECT_TRUE(label->text == "11 router changes" || label->text.ends_with("\u2026")) << right << label->text;
        cut_short |= label->text != "11 router changes";
        EXPECT_GE(label->rect.left, dates[0]->rect.right) << right;
        EXPECT_LE(label->rect.right, dates[1]->rect.left) << right;
        EXPECT_LE(label->rect.right, label->clip.right + 0.5f) << right;
    }
    EXPECT_TRUE(cut_short);
}

}  // namespace
}  // namespace corvane
