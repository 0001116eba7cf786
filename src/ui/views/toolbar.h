#pragma once
// The top toolbar: view switch, target, start and stop, intervals, recording, clock, sound, settings.
#include "ui/views/view_context.h"

namespace corvane {

class HistoryFilePicker;

void draw_toolbar(ViewContext& ctx);

// The whole toolbar in `content`, acting on the App at once. Without a
// picker the playback button does nothing.
void draw_top_toolbar(App& app, Rect content, HistoryFilePicker* picker);

}  // namespace corvane
