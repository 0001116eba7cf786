#pragma once
// What a panel's view gets each frame: the App to read and set preferences
// in, the frame's snapshots, the request slots it hands back, its own placed
// panel, and the system services it may call (dialogs).
#include "main/app.h"
#include "main/app_update.h"
#include "ui/panel_layout.h"

namespace corvane {

class HistoryFilePicker;
class SystemDialogs;

struct ViewServices {
    HistoryFilePicker* history_picker = nullptr;  // the toolbar's "open a recording"
    SystemDialogs* dialogs = nullptr;             // the Settings window's pickers and folder opening
};

struct ViewContext {
    App& app;
    const FrameView& view;
    PanelActions& actions;
    const PlacedPanel& panel;
    ViewServices& services;
};

}  // namespace corvane
