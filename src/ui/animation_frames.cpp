#include "ui/animation_frames.h"

namespace corvane {

namespace {
bool requested = false;
double timed = -1.0;
}  // namespace

void request_animation_frame() { requested = true; }

bool take_animation_frame_request() {
    const bool was = requested;
    requested = false;
    return was;
}

void request_frame_after(double seconds) {
    if (seconds < 0.0) seconds = 0.0;
    if (timed < 0.0 || seconds < timed) timed = seconds;
}

double take_timed_frame_request() {
    const double was = timed;
    timed = -1.0;
    return was;
}

}  // namespace corvane
