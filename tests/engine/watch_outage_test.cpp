// The down / back-up rule of a watched host, fed with made-up ping times.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <string>
#include <vector>

#include "engine/watch_session_limits.h"
#include "engine/watch_session_outage.h"

namespace corvane {
namespace {

struct Step {
    bool good;
    std::int64_t at_ms;
    const char* event;  // expected event text, nullptr = none
    RouteEventKind kind = RouteEventKind::Info;
};

struct OutageCase {
    const char* name;
    std::vector<Step> steps;
};

class WatchOutageRule : public ::testing::TestWithParam<OutageCase> {};

TEST_P(WatchOutageRule, RaisesExactlyTheExpectedEvents) {
    WatchOutage outage;
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& s = GetParam().steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        std::optional<RouteEvent> ev = outage.record(s.good, s.at_ms, "Core router");
        if (!s.event) {
            EXPECT_FALSE(ev.has_value()) << ev->text;
            continue;
        }
        ASSERT_TRUE(ev.has_value());
        EXPECT_EQ(ev->text, s.event);
        EXPECT_EQ(ev->kind, s.kind);
        EXPECT_EQ(ev->time_ms, s.at_ms);  // stamped with the ping that raised it
        EXPECT_FALSE(ev->detail.has_value());
    }
}

constexpr auto kDown = RouteEventKind::HostDown;
constexpr auto kUp = RouteEventKind::HostUp;

INSTANTIATE_TEST_SUITE_P(
    Cases, WatchOutageRule,
    ::testing::Values(
        OutageCase{"DownAtThirdLossNotSecond",
                   {{false, 1000, nullptr},
                    {false, 2000, nullptr},
                    {false, 3000, "Core router is down", kDown},
                    {false, 4000, nullptr},
                    {false, 5000, nullptr}}},
        OutageCase{"TwoLossesThenAnswerResetTheCount",
                   {{false, 1000, nullptr},
                    {false, 2000, nullptr},
                    {true, 3000, nullptr},
                    {false, 4000, nullptr},
                    {false, 5000, nullptr},
                    {true, 6000, nullptr}}},
        // The outage runs from the first loss of the run, not from the third.
        OutageCase{"BackUpTimedFromFirstLoss",
                   {{true, 0, nullptr},
                    {false, 10'000, nullptr},
                    {false, 11'000, nullptr},
                    {false, 12'000, "Core router is down", kDown},
                    {true, 10'000 + 303'000, "Core router is back up after 5m 03s", kUp},
                    {true, 400'000, nullptr}}},
        OutageCase{"SecondOutageIsTimedOnItsOwn",
                   {{false, 0, nullptr},
                    {false, 1000, nullptr},
                    {false, 2000, "Core router is down", kDown},
                    {true, 42'000, "Core router is back up after 42s", kUp},
                    {false, 50'000, nullptr},
                    {false, 51'000, nullptr},
                    {false, 52'000, "Core router is down", kDown},
                    {false, 53'000, nullptr},
                    {true, 50'000 + 3'660'000, "Core router is back up after 1h 01m", kUp}}},
        // A clock stepped back during the outage must not give a negative span.
        OutageCase{"ClockSteppedBack",
                   {{false, 100'000, nullptr},
                    {false, 101'000, nullptr},
                    {false, 102'000, "Core router is down", kDown},
                    {true, 50'000, "Core router is back up after 0s", kUp}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WatchOutage, CountsOnWhileDownAndClearsOnAnswer) {
    WatchOutage outage;
    for (int i = 0; i < 10; ++i) outage.record(false, i, "h");
    EXPECT_TRUE(outage.down());
    EXPECT_EQ(outage.failures(), 10u);
    outage.record(true, 20, "h");
    EXPECT_FALSE(outage.down());
    EXPECT_EQ(outage.failures(), 0u);
}

TEST(OpenFileLimit, SoftLimitIsRaisedToHardLimit) {
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    if (before.rlim_max != RLIM_INFINITY && before.rlim_max <= 64) GTEST_SKIP() << "hard limit too low to lower";
    rlimit lowered = before;
    lowered.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);

    const std::uint64_t now_soft = raise_open_file_limit();

    rlimit after{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_EQ(after.rlim_cur, before.rlim_max);
    if (after.rlim_cur != RLIM_INFINITY) {
        EXPECT_EQ(now_soft, after.rlim_cur);
    }
    setrlimit(RLIMIT_NOFILE, &before);
}

}  // namespace
}  // namespace corvane
