#include "ui/app_frame.h"

#include <imgui.h>

#include "main/app_update_shutdown.h"
#include "ui/panel_host.h"
#include "ui/views/panel_contents.h"

namespace corvane {

namespace {

ActionSource action_source(PanelId id) {
    switch (id) {
    case PanelId::ListEditor: return ActionSource::ListEditor;
    case PanelId::Settings: return ActionSource::Settings;
    default: return ActionSource::Panel;
    }
}

}  // namespace

PanelInputs panel_inputs_of(const App& app) {
    PanelInputs in;
    in.view = app.view_mode;
    in.layout = app.layout_mode;
    in.editor_open = app.editor_open;
    in.error_banner = app.error_banner.has_value();
    in.has_alerts = !app.alerts.empty();
    const bool watch_recording = app.replay && app.replay->is_watch;
    in.playback_bar = app.replay && watch_recording == (app.view_mode == ViewMode::Watch);
    in.settings_open = app.settings_open;
    in.watch_has_content = !app.watch_tabs.empty() || watch_recording;
    return in;
}

FrameInput read_frame_input(std::string_view pressed) {
    FrameInput in;
    const auto has = [&](char key) { return pressed.find(key) != std::string_view::npos; };
    in.layout_instrument = has('1');
    in.layout_signal = has('2');
    in.toggle_sound = has('m');
    in.new_tab = has('t');
    in.close_tab = has('w');
    in.escape = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
    return in;
}

AppFrame::AppFrame(std::function<App()> make_app) : make_app_(std::move(make_app)) {}

void AppFrame::frame(Shell& shell, const KeyboardFrame& keys) {
    if (closed_) return;
    if (!app_) app_.emplace(make_app_());
    const auto while_open = [&shell](int pid) { shell.while_dialog_open(pid); };
    history_picker_.attach_to(shell.dialog_parent(), while_open);
    dialogs_.attach_to(shell.dialog_parent(), while_open);
    FrameContext ctx{shell, play_sound_, {}};
    const FrameInput input = read_frame_input(keys.pressed());
    app_update(*app_, ctx, input, *view_, [&](FrameView& view) { host_frame_panels(*app_, input, view); });
}

void AppFrame::host_frame_panels(App& app, const FrameInput& input, FrameView& view) {
    PanelActions actions;
    host_panels(panel_inputs_of(app), heights_, [&](const PlacedPanel& p) {
        // Each view hands its requests back in `actions`, applied before the
        // next panel runs.
        ViewContext ctx{app, view, actions, p, services_};
        draw_panel_contents(ctx);
        apply_panel_actions(app, actions, action_source(p.spec.id), input.escape);
    });
}

void AppFrame::on_close() {
    if (closed_) return;
    closed_ = true;
    if (app_) shut_down_sessions(*app_);
}

}  // namespace corvane
