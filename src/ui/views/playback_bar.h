#pragma once
// The bar of a recording being played: play and pause, speeds, timeline with its marks, back to live.
#include "ui/views/view_context.h"

namespace corvane {

void draw_playback_bar(ViewContext& ctx);

// The whole bar in `content`, one row centred on its middle. Sets
// `leave_playback` when "Back to live" is clicked.
void draw_playback_bar(ReplaySession& session, bool& leave_playback, Rect content);

// The timeline (44 high) in `r`: track, progress, marks, knob, end dates and
// the marks' count; hovering shows the time under the pointer, clicking and
// dragging seek there.
void draw_playback_timeline(ReplaySession& session, Rect r);

// "Back to live" at the cursor: a click sets `leave_playback`; the frame then
// drops the recording.
void draw_back_to_live_button(bool& leave_playback);

}  // namespace corvane
