#pragma once
// The application's frame: runs the per-frame update around the panels of the
// current view and layout, and ends the sessions cleanly when the window goes.
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "main/app.h"
#include "main/app_update.h"
#include "platform/system_dialogs.h"
#include "replay/file_picker.h"
#include "ui/key_input.h"
#include "ui/panel_layout.h"
#include "ui/shell.h"
#include "ui/views/view_context.h"

namespace corvane {

// Which panels the App's state calls for this frame.
PanelInputs panel_inputs_of(const App& app);

// This frame's shortcuts and Escape: `pressed` holds the shortcut keys
// pressed or repeated with Ctrl in the frame's share of the key events
// (KeyboardFrame); Escape comes from ImGui's input state.
FrameInput read_frame_input(std::string_view pressed);

class AppFrame final : public FrameDriver {
public:
    // The App is made on the first frame, once the window, its fonts and its
    // theme exist, as the shell's creation callback would.
    explicit AppFrame(std::function<App()> make_app);
    void frame(Shell& shell, const KeyboardFrame& keys) override;
    // Stops every session, waits for their threads a bounded time and
    // flushes the history files.
    void on_close() override;

    // Null before the first frame.
    App* app() { return app_ ? &*app_ : nullptr; }

private:
    void host_frame_panels(App& app, const FrameInput& input, FrameView& view);

    std::function<App()> make_app_;
    std::optional<App> app_;
    std::unique_ptr<FrameView> view_ = std::make_unique<FrameView>();
    PanelHeights heights_;
    AlertSoundPlayer play_sound_ = play_chosen_alert_sound;
    ZenityFilePicker history_picker_;
    ZenitySystemDialogs dialogs_;
    ViewServices services_{&history_picker_, &dialogs_};
    bool closed_ = false;
};

}  // namespace corvane
