#pragma once
// Ending the program without losing history: the rows of probes still in
// flight and the rows still buffered must reach the files first.
#include <chrono>

#include "main/app.h"

namespace corvane {

// How long the end waits for the sessions' threads: the longest a probe or
// host thread takes to see its stop flag, plus one echo time-out.
inline constexpr std::chrono::milliseconds kShutdownWait{100 + 1000};

// Sets every session's stop flag, waits until their threads have ended or
// `limit` has passed, then flushes every history writer still alive.
// Returns true when every thread ended in time.
bool shut_down_sessions(App& app, std::chrono::milliseconds limit = kShutdownWait);

}  // namespace corvane
