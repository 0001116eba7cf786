#pragma once
// Views that animate (a switch sliding over) ask for the next frame soon;
// without the request a still pointer leaves the window at its 250 ms beat
// and the motion would jump. UI thread only.
namespace corvane {

void request_animation_frame();

// Whether a view asked during this frame; clears the request.
bool take_animation_frame_request();

// A view whose look changes at a known moment (a text cursor's blink) asks
// for a frame then, `seconds` from now.
void request_frame_after(double seconds);

// The soonest of this frame's requests, or a negative value when there was
// none; clears them.
double take_timed_frame_request();

}  // namespace corvane
