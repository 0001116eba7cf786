#pragma once
// Moves a recording's playback position and feeds the samples it passes
// into the recording's monitor state, with the events a live session would
// have raised.
#include <cstdint>

#include "replay/replay_session.h"

namespace corvane {

// Feeds every sample not yet fed with a time <= x, then sets the position
// to x. Never goes back.
void replay_advance_to(ReplaySession& session, double x);

// Moves to x clamped to the recording, rebuilding the fed state when going
// back; then asks for the names of unnamed hops.
void replay_seek(ReplaySession& session, double x);

struct PlaybackFrame {
    MonotonicTime now;
    bool repaint_now = false;  // set when the next frame should come at once
};

// Once per frame while the recording is on view. Returns the frame's current
// time in unix ms.
std::int64_t playback_clock_step(ReplaySession& session, PlaybackFrame& frame);

// A double position as whole unix ms: truncated, saturating, NaN gives 0.
std::int64_t position_to_ms(double position);

// Sets up the seek-back snapshots; called once after the samples are final.
void prepare_replay_checkpoints(ReplaySession& session);

}  // namespace corvane
