#include <chrono>
#include <thread>

#include "engine/watch_session.h"

namespace corvane {

void history_flush_thread(WatchSessionLifePtr life, HistoryWriterPtr writer) {
    using namespace std::chrono_literals;
    // Flush once a second, but look at the stop flag every 100 ms so the
    // thread doesn't outlive its session by a whole second.
    auto next_flush = std::chrono::steady_clock::now() + 1s;
    while (!life->stop->load()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= next_flush) {
            flush_history_csv(*writer);
            next_flush += 1s;
            if (next_flush < now) next_flush = now + 1s;
            continue;
        }
        std::this_thread::sleep_until(std::min(next_flush, now + 100ms));
    }
    // A host thread may still be inside an echo when the flag is set; its
    // row must not be left in the buffer after the last flush.
    for (std::size_t n = life->hosts_running.load(); n != 0; n = life->hosts_running.load()) {
        life->hosts_running.wait(n);
    }
    flush_history_csv(*writer);
}

}  // namespace corvane
