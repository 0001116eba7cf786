// Feeding a recording into its monitor state: events, seeking and the clock.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "engine/trace_copy.h"
#include "replay/replay_playback.h"
#include "replay_test_util.h"
#include "support/test_support.h"

namespace corvane {
namespace {

using test::kHeader;
using test::row;
using test::TempDir;
using test::write_file;
using namespace std::chrono_literals;

struct Fed {
    std::vector<HopStats> hops;
    std::vector<RouteEvent> events;
    std::optional<Ipv4Addr> target;
};

Fed fed_state(const ReplaySession& s) {
    std::lock_guard lock(s.state->mutex);
    return {s.state->state.hops, s.state->state.events, s.state->state.target_addr};
}

std::vector<std::string> event_texts(const ReplaySession& s) {
    std::vector<std::string> out;
    for (const auto& e : fed_state(s).events) out.push_back(e.text);
    return out;
}

// Everything feeding decides, names aside (lookup threads set those).
void expect_same_state(const ReplaySession& a, const ReplaySession& b, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(a.next_index, b.next_index);
    EXPECT_EQ(a.position_ms, b.position_ms);
    EXPECT_EQ(a.fail_counts, b.fail_counts);
    EXPECT_EQ(a.down_since, b.down_since);
    const Fed x = fed_state(a), y = fed_state(b);
    ASSERT_EQ(x.events.size(), y.events.size());
    for (std::size_t i = 0; i < x.events.size(); ++i) {
        EXPECT_EQ(x.events[i].text, y.events[i].text);
        EXPECT_EQ(x.events[i].time_ms, y.events[i].time_ms);
        EXPECT_EQ(x.events[i].kind, y.events[i].kind);
    }
    ASSERT_EQ(x.hops.size(), y.hops.size());
    for (std::size_t h = 0; h < x.hops.size(); ++h) {
        const HopStats &p = x.hops[h], &q = y.hops[h];
        EXPECT_EQ(p.sent, q.sent) << h;
        EXPECT_EQ(p.received, q.received) << h;
        EXPECT_EQ(p.rtt_sum, q.rtt_sum) << h;
        EXPECT_EQ(p.jitter, q.jitter) << h;
        EXPECT_EQ(p.last, q.last) << h;
        EXPECT_EQ(p.best, q.best) << h;
        EXPECT_EQ(p.worst, q.worst) << h;
        EXPECT_EQ(p.addr, q.addr) << h;
        EXPECT_EQ(p.label, q.label) << h;
        ASSERT_EQ(p.samples.size(), q.samples.size()) << h;
        ASSERT_EQ(p.sample_times.size(), q.sample_times.size()) << h;
        for (std::size_t i = 0; i < p.samples.size(); ++i) {
            const bool same = (sample_lost(p.samples[i]) && sample_lost(q.samples[i])) || p.samples[i] == q.samples[i];
            ASSERT_TRUE(same && p.sample_times[i] == q.sample_times[i]) << "hop " << h << " entry " << i;
        }
    }
}

// Hops (or hosts) with flapping addresses and runs of losses, long enough
// for several seek checkpoints and full sample rings.
std::string long_recording(int rounds, int hops, unsigned seed) {
    std::mt19937 rng(seed);
    std::ostringstream out;
    out << kHeader;
    std::vector<int> variant(static_cast<std::size_t>(hops) + 1, 1);
    std::vector<int> outage(static_cast<std::size_t>(hops) + 1, 0);
    for (int r = 0; r < rounds; ++r) {
        for (int h = 1; h <= hops; ++h) {
            if (rng() % 300 == 0) variant[h] ^= 3;
            if (rng() % 200 == 0) outage[h] = 2 + static_cast<int>(rng() % 6);
            // The last host is out for a long stretch that spans a checkpoint.
            const bool long_outage = h == hops && r >= 1000 && r < 3000;
            const bool lost = long_outage || (outage[h] > 0 ? (outage[h]--, true) : rng() % 20 == 0);
            out << row(1'700'000'000'000 + r * 1000 + h, "h" + std::to_string(h), static_cast<unsigned>(h),
                       "10." + std::to_string(h) + ".0." + std::to_string(variant[h]),
                       lost ? -1 : static_cast<long>(rng() % 80));
        }
    }
    return out.str();
}

TEST(ReplaySeek, AnySeekSequenceMatchesPlayingStraight) {
    TempDir dir;
    struct Case {
        const char* name;
        int rounds, hops;
    };
    // 4500 x 12 = 54000 samples: three checkpoints, and hops with more than
    // the 3600 samples a ring keeps.
    const Case cases[] = {{"trace.csv", 4500, 12}, {"watch_sites_2026-03-01_094512.csv", 4500, 12}};
    for (const auto& c : cases) {
        const auto path = write_file(dir.path(), c.name, long_recording(c.rounds, c.hops, 5));
        auto s = test::open_ok(path);
        ASSERT_TRUE(s);
        const double start = static_cast<double>(s->start_ms), span = static_cast<double>(s->end_ms - s->start_ms);
        std::mt19937 rng(9);
        std::vector<double> targets = {start + span, start + span * 0.5, start + span * 0.9, start + span * 0.2,
                                       start + span * 0.2, start + span * 0.95, start};
        for (int i = 0; i < 6; ++i) targets.push_back(start + span * (rng() % 1000) / 1000.0);
        // The window's copy, brought up to date after each seek.
        TraceState copy;
        TraceCopyMarks marks;
        for (double t : targets) {
            replay_seek(*s, t);
            {
                std::lock_guard lock(s->state->mutex);
                refresh_trace_copy(s->state->state, copy, marks);
                EXPECT_TRUE(copy == s->state->state) << "the window's copy after seeking to " << t - start;
            }
            auto straight = test::open_ok(path);
            ASSERT_TRUE(straight);
            if (t >= straight->position_ms) {
                replay_advance_to(*straight, t);
            } else {
                replay_seek(*straight, t);
            }
            expect_same_state(*s, *straight, std::string(c.name) + " at " + std::to_string(t - start));
            const auto texts = event_texts(*s);
            EXPECT_EQ(std::count(texts.begin(), texts.end(), "Recording started"), 1);
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.front(), "Recording started");
        }
    }
}

TEST(ReplaySeek, ClampsAndSamePosition) {
    TempDir dir;
    std::string text = kHeader;
    for (int i = 0; i < 300; ++i) text += row(10'000 + i * 1000, "t", 1, "10.0.0.1", 5);
    auto s = test::open_ok(write_file(dir.path(), "t.csv", text));
    ASSERT_TRUE(s);
    replay_seek(*s, -1e18);
    EXPECT_EQ(s->position_ms, 10'000.0);
    EXPECT_EQ(s->next_index, 1u);
    replay_seek(*s, 1e18);
    EXPECT_EQ(s->position_ms, 309'000.0);
    EXPECT_EQ(s->next_index, 300u);
    const std::size_t events = fed_state(*s).events.size();
    s->last_tick = std::chrono::steady_clock::now();
    replay_seek(*s, s->position_ms);
    EXPECT_EQ(fed_state(*s).events.size(), events);
    EXPECT_FALSE(s->last_tick);
}

TEST(ReplayEvents, TraceStartAndAddressChanges) {
    TempDir dir;
    const std::string text = std::string(kHeader) + row(1000, "gw", 3, "10.0.0.1", 5) + row(2000, "gw", 3, "10.0.0.2", 5) +
                             row(3000, "gw", 3, "", -1) + row(4000, "gw", 3, "10.0.0.2", 5) +
                             row(5000, "gw", 4, "10.0.0.4", 9) + row(90'000, "gw", 3, "10.0.0.1", 5);
    auto s = test::open_ok(write_file(dir.path(), "gw_2026-03-01_094512.csv", text));
    ASSERT_TRUE(s);
    const Fed f = fed_state(*s);
    ASSERT_EQ(f.events.size(), 2u);  // the change at 90 s is beyond the first minute
    EXPECT_EQ(f.events[0].text, "Recording started");
    EXPECT_EQ(f.events[0].time_ms, 1000);
    EXPECT_EQ(f.events[0].kind, RouteEventKind::Info);
    EXPECT_EQ(f.events[1].text, "Hop 3 changed from 10.0.0.1 to 10.0.0.2");
    EXPECT_EQ(f.events[1].time_ms, 2000);
    EXPECT_EQ(f.events[1].kind, RouteEventKind::RouteChange);
    ASSERT_EQ(f.hops.size(), 4u);
    EXPECT_EQ(f.hops[0].sent, 0u);  // hops below the first recorded one stay empty
    EXPECT_EQ(f.hops[2].sent, 4u);
    EXPECT_EQ(f.hops[2].received, 3u);
    // The title "gw" is no address: the target is the last hop's.
    EXPECT_EQ(f.target, Ipv4Addr(10, 0, 0, 4));
}

// A title that is no address leaves the target open until the last hop has
// one; from then on it is kept, through later hops and seeks back alike.
TEST(ReplayEvents, TraceTargetComesOnceFromTheLastHop) {
    TempDir dir;
    const std::string text = std::string(kHeader) + row(1000, "gw", 1, "", -1) + row(2000, "gw", 1, "", -1) +
                             row(70'000, "gw", 2, "10.0.0.2", 5) + row(80'000, "gw", 3, "10.0.0.3", 6);
    auto s = test::open_ok(write_file(dir.path(), "gw.csv", text));
    ASSERT_TRUE(s);
    EXPECT_FALSE(fed_state(*s).target);  // the only hop fed so far has no address
    struct Step {
        double seek_to;
        std::size_t hops;
    };
    for (const Step step : {Step{75'000, 2}, Step{1e18, 3}, Step{0, 1}}) {
        replay_seek(*s, step.seek_to);
        const Fed f = fed_state(*s);
        EXPECT_EQ(f.hops.size(), step.hops) << step.seek_to;
        EXPECT_EQ(f.target, Ipv4Addr(10, 0, 0, 2)) << step.seek_to;
    }

    // A title that is an address is the target whatever the hops show.
    auto addressed = test::open_ok(write_file(dir.path(), "a.csv", std::string(kHeader) +
                                                                      row(1000, "10.9.9.9", 1, "10.0.0.1", 5)));
    ASSERT_TRUE(addressed);
    EXPECT_EQ(fed_state(*addressed).target, Ipv4Addr(10, 9, 9, 9));
}

TEST(ReplayEvents, WatchDownAndBackUp) {
    TempDir dir;
    const std::string text = std::string(kHeader) + row(1000, "web", 1, "10.0.0.1", 5) +
                             row(10'000, "web", 1, "10.0.0.1", -1) + row(11'000, "db", 2, "10.0.0.2", 3) +
                             row(20'000, "web", 1, "10.0.0.1", -1) + row(30'000, "web", 1, "10.0.0.1", -1) +
                             row(40'000, "web", 1, "10.0.0.1", -1) + row(100'000, "web", 1, "10.0.0.1", 7);
    auto s = test::open_ok(write_file(dir.path(), "watch_Office_2026-12-08_093000.csv", text));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, "Office");
    EXPECT_TRUE(s->is_watch);
    replay_seek(*s, 1e18);
    const Fed f = fed_state(*s);
    ASSERT_EQ(f.events.size(), 3u);
    EXPECT_EQ(f.events[1].text, "web is down");
    EXPECT_EQ(f.events[1].time_ms, 30'000);  // the third loss
    EXPECT_EQ(f.events[1].kind, RouteEventKind::HostDown);
    EXPECT_EQ(f.events[2].text, "web is back up after 1m 30s");
    EXPECT_EQ(f.events[2].time_ms, 100'000);
    EXPECT_EQ(f.events[2].kind, RouteEventKind::HostUp);
    ASSERT_EQ(f.hops.size(), 2u);
    EXPECT_EQ(f.hops[0].label, "web");
    EXPECT_EQ(f.hops[1].label, "db");
    EXPECT_EQ(f.hops[0].addr, Ipv4Addr(10, 0, 0, 1));
    EXPECT_EQ(s->fail_counts, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_FALSE(s->down_since[0]);
    EXPECT_FALSE(f.target);  // watch recordings never get one
}

TEST(ReplayClock, SpeedStallsAndTheEnd) {
    TempDir dir;
    std::string text = kHeader;
    for (int i = 0; i <= 600; ++i) text += row(i * 1000, "t", 1, "10.0.0.1", 5);
    auto s = test::open_ok(write_file(dir.path(), "t.csv", text));
    ASSERT_TRUE(s);
    s->speed = 60;
    s->playing = true;
    PlaybackFrame frame{std::chrono::steady_clock::now()};
    EXPECT_EQ(playback_clock_step(*s, frame), 60'000);  // the first frame only sets the tick
    EXPECT_TRUE(frame.repaint_now);
    frame.now += 16ms;
    EXPECT_EQ(playback_clock_step(*s, frame), 60'960);
    frame.now += 2s;  // a stall counts as a quarter second
    EXPECT_EQ(playback_clock_step(*s, frame), 75'960);
    frame.now -= 1s;  // a clock that goes back moves nothing
    EXPECT_EQ(playback_clock_step(*s, frame), 75'960);

    s->speed = 600;
    for (int i = 0; i < 100 && s->playing; ++i) {
        frame.now += 250ms;
        playback_clock_step(*s, frame);
    }
    EXPECT_FALSE(s->playing);
    EXPECT_EQ(s->position_ms, 600'000.0);
    EXPECT_EQ(s->next_index, s->samples.size());

    // Paused: nothing moves.
    PlaybackFrame paused{frame.now + 10s};
    EXPECT_EQ(playback_clock_step(*s, paused), 600'000);
    EXPECT_FALSE(paused.repaint_now);
}

TEST(ReplayClock, TimesAtTheEndsOfTheRangeDoNotOverflow) {
    TempDir dir;
    const std::int64_t max = INT64_MAX, min = INT64_MIN;
    // Trace: start + one minute would pass the largest time.
    auto s = test::open_ok(write_file(dir.path(), "t.csv", std::string(kHeader) + row(max - 10, "t", 1, "", 5) +
                                                            row(max, "t", 1, "", 5)));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->next_index, 2u);
    EXPECT_EQ(position_to_ms(s->position_ms), max);
    s->playing = true;
    PlaybackFrame frame{std::chrono::steady_clock::now()};
    playback_clock_step(*s, frame);
    frame.now += 100ms;
    EXPECT_EQ(playback_clock_step(*s, frame), max);
    EXPECT_FALSE(s->playing);

    // Watch: an outage from the smallest time to the largest.
    std::string w = kHeader;
    for (std::int64_t t : {min, min + 1, min + 2}) w += row(t, "h", 1, "", -1);
    w += row(max, "h", 1, "", 5);
    auto ws = test::open_ok(write_file(dir.path(), "watch_x.csv", w));
    ASSERT_TRUE(ws);
    replay_seek(*ws, 1e300);
    const auto texts = event_texts(*ws);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], "h is back up after 2562047788015h 12m");

    EXPECT_EQ(position_to_ms(std::nan("")), 0);
    EXPECT_EQ(position_to_ms(-1e300), min);
    EXPECT_EQ(position_to_ms(12.9), 12);
}

}  // namespace
}  // namespace corvane
