#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>

#include "engine/clock_text.h"
#include "engine/duration_text.h"
#include "support/test_support.h"

namespace corvane {
namespace {

// 2024-03-05 14:05:09.250 UTC.
constexpr std::int64_t kAfternoon = 1709647509250;

// Sets TZ and the UTC flag for one test; puts both back after.
class ClockZone {
public:
    ClockZone(const char* tz, bool utc) : tz_("TZ", tz ? std::optional<std::string>(tz) : std::nullopt) {
        tzset();
        set_clock_utc(utc);
    }
    ~ClockZone() { set_clock_utc(false); }

private:
    // Members die in reverse order: tz_ puts TZ back, then this re-reads it.
    struct Retzset {
        ~Retzset() { tzset(); }
    } retzset_;
    test::ScopedEnv tz_;
};

TEST(DurationText, Table) {
    struct Case {
        std::int64_t ms;
        const char* text;
    };
    for (const Case c : {Case{0, "0s"}, Case{999, "0s"}, Case{1000, "1s"}, Case{59999, "59s"}, Case{60000, "1m 00s"},
                         Case{61000, "1m 01s"}, Case{3599999, "59m 59s"}, Case{3600000, "1h 00m"},
                         Case{3660000, "1h 01m"}, Case{90000000, "25h 00m"}, Case{-1, "0s"},
                         Case{INT64_MIN, "0s"}, Case{INT64_MAX, "2562047788015h 12m"}}) {
        EXPECT_EQ(format_duration_ms(c.ms), c.text) << c.ms;
    }
}

TEST(ClockText, UtcIsTwentyFourHourWithSuffix) {
    ClockZone zone("IST-5:30", true);  // the local zone must not matter
    EXPECT_EQ(format_time_of_day(kAfternoon, true), "14:05:09");
    EXPECT_EQ(format_time_of_day(kAfternoon, false), "14:05");
    EXPECT_EQ(format_clock_time(kAfternoon, true), "14:05:09 UTC");
    EXPECT_EQ(format_clock_time(kAfternoon, false), "14:05 UTC");
    EXPECT_EQ(format_clock_time(0, true), "00:00:00 UTC");
    // A millisecond before the epoch is still the last second of 1969.
    EXPECT_EQ(format_time_of_day(-1, true), "23:59:59");
}

TEST(ClockText, LocalIsTwelveHourInTheSetZone) {
    struct Case {
        const char* tz;
        std::int64_t ms;
        const char* with_seconds;
        const char* without;
    };
    const Case cases[] = {
        {"UTC0", kAfternoon, "2:05:09 PM", "2:05 PM"},
        {"IST-5:30", kAfternoon, "7:35:09 PM", "7:35 PM"},
        {"EST5", kAfternoon, "9:05:09 AM", "9:05 AM"},
        {"UTC0", 0, "12:00:00 AM", "12:00 AM"},                // midnight
        {"UTC0", 12 * 3600 * 1000LL, "12:00:00 PM", "12:00 PM"},  // noon
        {"UTC0", 11 * 3600 * 1000LL + 59 * 60000 + 59999, "11:59:59 AM", "11:59 AM"},
        {"UTC0", 23 * 3600 * 1000LL + 60000, "11:01:00 PM", "11:01 PM"},
    };
    for (const Case& c : cases) {
        ClockZone zone(c.tz, false);
        EXPECT_EQ(format_time_of_day(c.ms, true), c.with_seconds) << c.tz << " " << c.ms;
        EXPECT_EQ(format_clock_time(c.ms, true), c.with_seconds) << "no suffix in local time";
        EXPECT_EQ(format_clock_time(c.ms, false), c.without);
    }
}

}  // namespace
}  // namespace corvane
