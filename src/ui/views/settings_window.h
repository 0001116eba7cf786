#pragma once
// The "Settings" window: alerts, start-up and history preferences, edited in
// place on the App, and a footer with "Done".
#include "main/app_update.h"
#include "ui/views/view_context.h"

namespace corvane {

void draw_settings_window(ViewContext& ctx);

// What the window's previews ("Play", a new pick, the end of a volume drag)
// go through; the program's player unless replaced (tests record instead).
AlertSoundPlayer& settings_preview_player();

}  // namespace corvane
