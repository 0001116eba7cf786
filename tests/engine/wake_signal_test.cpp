// The wake signal that lets waiting threads see a change at once: no wake-up
// is lost between reading the count and blocking, and a deadline still ends
// a wait nobody wakes.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "engine/shared_settings.h"
#include "engine/wake_signal.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(WakeSignal, WaitEndsOnWakeUpOrDeadline) {
    WakeSignal signal;
    const std::uint64_t seen = signal.count();

    EXPECT_FALSE(signal.wait_until(Clock::now() - 1s, seen)) << "a deadline gone by ends the wait unwoken";
    EXPECT_FALSE(signal.wait_until(Clock::now() + 1ms, seen));

    // A wake-up between reading the count and waiting is not lost: the wait
    // returns at once, though its deadline is an hour away.
    signal.wake_all();
    EXPECT_NE(signal.count(), seen);
    EXPECT_TRUE(signal.wait_until(Clock::now() + 1h, seen));
}

TEST(WakeSignal, WakesEveryWaiter) {
    WakeSignal signal;
    const std::uint64_t seen = signal.count();
    std::vector<std::future<bool>> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.push_back(std::async(std::launch::async, [&] { return signal.wait_until(Clock::now() + 1h, seen); }));
    signal.wake_all();
    for (auto& w : waiters) {
        // The bound only keeps a broken signal from hanging the run.
        ASSERT_EQ(w.wait_for(30s), std::future_status::ready);
        EXPECT_TRUE(w.get());
    }
}

// Storing into the atomic by hand would leave waiters asleep; the setters wake
// them, and the value is in place before they look.
TEST(WakeSignal, SettingsSettersWakeWaitersWithTheNewValue) {
    struct Case {
        const char* what;
        void (*set)(SharedSettings&);
        std::uint64_t (*read)(const SharedSettings&);
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"probe_ms", [](SharedSettings& s) { s.set_probe_ms(250); },
         [](const SharedSettings& s) { return s.probe_ms.load(); }, 250},
        {"route_secs", [](SharedSettings& s) { s.set_route_secs(0); },
         [](const SharedSettings& s) { return s.route_secs.load(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SharedSettings settings;
        const std::uint64_t seen = settings.changes.count();
        auto waiter = std::async(std::launch::async, [&] {
            settings.changes.wait_until(Clock::now() + 1h, seen);
            return c.read(settings);
        });
        c.set(settings);
        const bool woken = waiter.wait_for(30s) == std::future_status::ready;
        settings.changes.wake_all();  // frees a waiter the setter left asleep
        EXPECT_TRUE(woken);
        EXPECT_EQ(waiter.get(), c.expected);
    }
}

}  // namespace
}  // namespace corvane
