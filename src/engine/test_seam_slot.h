#pragma once
// A replaceable part of the engine (a test's scripted echoes or names), read
// by detached worker threads. Each slot is made once and never destroyed, so
// a worker still on its way while the process exits finds it intact.
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

    T get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void set(T value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }

private:
    SeamSlot() = default;
    mutable std::mutex mutex_;
    T value_{};
};

}  // namespace corvane
