#pragma once
// Starting the engine's detached worker threads. A worker that can't be
// started leaves a session half built, so the process ends at once instead.
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

namespace corvane {

template <typename F>
void spawn_detached(F&& body) {
    try {
        std::thread(std::forward<F>(body)).detach();
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "Error: could not start a thread: %s\n", e.what());
        std::abort();
    }
}

}  // namespace corvane
