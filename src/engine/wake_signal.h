#pragma once
// Lets threads that wait out an interval be woken early when something they
// depend on changes (a setting, a stop flag), instead of waking up every so
// often to look. Waking is cheap for the waker and rare; waiting costs nothing
// until the deadline or a wake-up.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace corvane {

class WakeSignal {
public:
    // The number of wake-ups so far. A waiter reads it BEFORE it reads the
    // values it waits on and hands it to wait_until: a wake-up that comes in
    // between then ends the wait at once instead of being missed.
    std::uint64_t count() const { return count_.load(); }

    // Wakes every thread in wait_until. Call it after changing the value.
    void wake_all() {
        {
            // Counting under the mutex keeps a waiter from checking the count
            // and then blocking with the wake-up already gone past.
            std::lock_guard lock(mutex_);
            count_.fetch_add(1);
        }
        cv_.notify_all();
    }

    // Blocks until `due` or until a wake-up after `seen`, whichever comes
    // first. true when woken, false when due.
    bool wait_until(std::chrono::steady_clock::time_point due, std::uint64_t seen) {
        std::unique_lock lock(mutex_);
        return cv_.wait_until(lock, due, [&] { return count_.load() != seen; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::atomic<std::uint64_t> count_{0};
};

}  // namespace corvane
