#include <chrono>

#include "engine/watch_session.h"

namespace corvane {

void history_flush_thread(WatchSessionLifePtr life, HistoryWriterPtr writer, SharedSettingsPtr settings) {
    using namespace std::chrono_literals;
    WakeSignal& changes = settings->changes;
    auto next_flush = std::chrono::steady_clock::now() + 1s;
    for (;;) {
        const std::uint64_t seen = changes.count();  // before the flag it guards
        if (life->stop->load()) break;
        const auto now = std::chrono::steady_clock::now();
        if (now >= next_flush) {
            flush_history_csv(*writer);
            next_flush += 1s;
            if (next_flush < now) next_flush = now + 1s;
            continue;
        }
        changes.wait_until(next_flush, seen);
    }
    // A host thread may still be inside an echo when the flag is set; its
    // row must not be left in the buffer after the last flush.
    for (std::size_t n = life->hosts_running.load(); n != 0; n = life->hosts_running.load()) {
        life->hosts_running.wait(n);
    }
    flush_history_csv(*writer);
}

}  // namespace corvane
