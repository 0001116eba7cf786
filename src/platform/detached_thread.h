#pragma once
// Detached worker threads that the system may refuse: at a thread or process
// limit the caller learns why and decides what the user sees, instead of the
// program ending.
#include <system_error>
#include <thread>
#include <utility>

namespace corvane {

// Runs `body` on a detached thread. Returns 0, or the system's error number
// when no thread could be started (EAGAIN at a limit); `body` is then dropped
// without running.
template <typename F>
[[nodiscard]] int start_detached_thread(F&& body) {
    try {
        std::thread(std::forward<F>(body)).detach();
        return 0;
    } catch (const std::system_error& e) {
        return e.code().value();
    }
}

}  // namespace corvane
