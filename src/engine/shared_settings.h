#pragma once
// The settings that running sessions read at each use, so a change applies at
// once. One record for the whole process, shared by the App and every worker.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>

#include "engine/wake_signal.h"

namespace corvane {

struct SharedSettings {
    std::atomic<std::uint64_t> probe_ms{1000};
    std::atomic<std::uint64_t> route_secs{30};  // 0 = never re-trace
    std::atomic<bool> save_history{true};

    // Session threads wait out their intervals on this, so a new interval,
    // or their session's stop, reaches them at once. Whoever sets a session's
    // stop flag calls wake_all() afterwards.
    WakeSignal changes;

    // Writers go through these, rather than the atomics, so that threads
    // already waiting out the old interval notice the new one.
    void set_probe_ms(std::uint64_t ms) {
        probe_ms.store(ms);
        changes.wake_all();
    }
    void set_route_secs(std::uint64_t secs) {
        route_secs.store(secs);
        changes.wake_all();
    }

    // The mutex is held only to copy or replace the path.
    std::filesystem::path history_dir() const {
        std::lock_guard lock(history_dir_mutex_);
        return history_dir_;
    }
    // Compared in place: the path may be long, and this is asked every frame.
    bool history_dir_is(const std::filesystem::path& dir) const {
        std::lock_guard lock(history_dir_mutex_);
        return history_dir_.native() == dir.native();
    }
    void set_history_dir(std::filesystem::path dir) {
        std::lock_guard lock(history_dir_mutex_);
        history_dir_ = std::move(dir);
    }

private:
    mutable std::mutex history_dir_mutex_;
    std::filesystem::path history_dir_;
};

using SharedSettingsPtr = std::shared_ptr<SharedSettings>;

}  // namespace corvane
