#include "ui/views/settings_window.h"

#include <imgui.h>

#include <algorithm>

#include "ui/palette.h"
#include "ui/widgets.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

namespace {

constexpr float kNoteSize = 11.5f;

// Applies a sound pick: stored, then heard once.
void apply_sound_pick(App& app, const std::optional<SoundChoice>& picked) {
    if (!picked) return;
    app.sound_choice = *picked;
    preview_alert_sound(app);
}

void draw_alerts_section(App& app, SystemDialogs* dialogs) {
    draw_settings_section_heading("ALERTS");
    draw_settings_toggle_row(app.sound_on, "Sound on route change", "Plays the sound you pick below");
    if (app.sound_on) {
        std::optional<SoundChoice> picked;
        draw_sound_choice_row(app, dialogs, picked);
        apply_sound_pick(app, picked);
        draw_volume_row(app);
        add_vertical_space(4);
    }
    draw_settings_toggle_row(app.flash_on, "Flash the taskbar on route change",
                             "Gets your attention when Corvane is in the background");
    settings_note("A banner always appears in the app when the route changes.", kNoteSize, palette::text_faint);
}

void draw_startup_section(App& app) {
    add_vertical_space(10);
    draw_settings_section_heading("STARTUP");
    draw_settings_toggle_row(app.resume, "Resume where I left off",
                             "Reopen your trace tabs and watch lists and start them when Corvane opens");
    if (!app.resume)
        settings_note("Corvane will open with nothing running. Saved watch lists stay under + Open list.", kNoteSize,
                      palette::text_faint);
}

void draw_history_section(App& app, const TraceState& trace, SystemDialogs* dialogs) {
    add_vertical_space(10);
    draw_settings_section_heading("HISTORY");
    draw_settings_toggle_row(app.save_history, "Save history to files",
                             "Every probe to a CSV per session, route changes to route-changes.log");
    add_vertical_space(4);
    settings_label("Folder", {FontFamily::Medium, 12}, palette::text_secondary);

    std::optional<std::filesystem::path> picked;
    draw_history_folder_row(*app.shared, app.history_dir_text, dialogs, picked);
    // A refused folder (set_history_dir says so) leaves everything as it was.
    if (picked) set_history_dir(app, *picked);

    const std::optional<SettingsNote> note = history_note(trace, app.shared->history_dir(), app.save_history);
    if (note) settings_note(note->text, kNoteSize, note->color);
}

}  // namespace

AlertSoundPlayer& settings_preview_player() {
    static AlertSoundPlayer player = play_chosen_alert_sound;
    return player;
}

void preview_alert_sound(const App& app) {
    const AlertSoundPlayer& play = settings_preview_player();
    if (play) play(app.sound_choice, app.sound_volume);
}

void draw_settings_window(ViewContext& ctx) {
    App& app = ctx.app;
    SystemDialogs* dialogs = ctx.services.dialogs;
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(ImGui::GetStyle().ItemSpacing.x, 6.0f));

    bool close = false;
    draw_settings_header(close);
    add_vertical_space(18);
    draw_alerts_section(app, dialogs);
    draw_startup_section(app);
    draw_history_section(app, ctx.view.trace, dialogs);
    add_vertical_space(14);
    draw_settings_footer(close);

    ImGui::PopStyleVar();
    if (close) ctx.actions.settings_done = true;
}

void draw_settings_header(bool& close) {
    const Galley title = layout_text("Settings", {FontFamily::Semibold, 17}, palette::text_primary);
    SettingsRow row(std::max(32.0f, title.size.y), 8.0f);
    row.place(title.size.y);
    settings_label(title.text, title.font, title.color);
    row.place_right({28, 28});
    draw_close_x_button(close);
    row.end();
}

void draw_settings_section_heading(std::string_view title) {
    add_vertical_space(6);
    settings_label(title, {FontFamily::Semibold, 11}, palette::text_faint);
    add_vertical_space(2);
}

}  // namespace corvane
