#include "ui/animation_frames.h"

namespace corvane {

namespace {
bool requested = false;
}  // namespace

void request_animation_frame() { requested = true; }

bool take_animation_frame_request() {
    const bool was = requested;
    requested = false;
    return was;
}

}  // namespace corvane
