#pragma once
// Building the application object at start-up: the settings of the last run,
// the shared settings the workers read, and the tabs it had open.
#include "main/app.h"

namespace corvane {

// Reads settings.ini (defaults when it can't be read), gathers the system
// sounds and the saved list names and, with `resume` on, reopens the trace
// tabs and watch lists of the last run; every restored tab is running when
// this returns. Fonts and text styles are the window's business, not this.
App app_new();

}  // namespace corvane
