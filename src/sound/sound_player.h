#pragma once
// One sound at a time for the whole process, newest first. Every play gets a
// number when it is asked for, on the caller's thread; a play whose number is
// no longer the newest stops, or never starts, so two plays asked for in one
// frame always leave the later one playing whatever order their threads run.
#include <chrono>
#include <cstdint>

namespace corvane {

class WavSource;

// Numbers a new play and makes every older one give way.
std::uint64_t begin_sound_play();

// Plays `src` to its end on the calling thread unless a newer play is asked
// for. Every begun play must end here, or with end_sound_play when it never
// gets as far.
void run_sound_play(std::uint64_t play, WavSource& src);
void end_sound_play(std::uint64_t play);

// For tests and orderly exits: waits until every begun play has ended; false
// when the time ran out first.
bool wait_for_sounds_idle(std::chrono::milliseconds timeout);

}  // namespace corvane
