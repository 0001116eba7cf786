#pragma once
// A replaceable part of the engine (a test's scripted echoes or names), read
// by detached worker threads. Each slot is made once and never destroyed, so
// a worker still on its way while the process exits finds it intact.
//
// An empty value stands for the slot's default: nothing (the system's own
// part) in the program, a guard that fails the test in the unit test suites
// (tests/support/unit), so a test that clears its scripted part never falls
// through to the machine's resolver or network.
#include <mutex>
#include <utility>

namespace corvane {

template <typename T>
class SeamSlot {
public:
    // The one slot of type T, for the life of the process and beyond.
    static SeamSlot& instance() {
        static SeamSlot* slot = new SeamSlot;
        return *slot;
    }

    // The value set, else the default.
    T get() const {
        std::lock_guard lock(mutex_);
        return value_ ? value_ : default_;
    }
    T get_default() const {
        std::lock_guard lock(mutex_);
        return default_;
    }
    void set(T value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }
    void set_default(T value) {
        std::lock_guard lock(mutex_);
        default_ = std::move(value);
    }

private:
    SeamSlot() = default;
    mutable std::mutex mutex_;
    T value_{};
    T default_{};
};

}  // namespace corvane
