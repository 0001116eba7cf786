#include "main/app.h"

#include "main/settings_file.h"
#include "main/settings_tabs.h"
#include "main/unicode_text.h"

namespace corvane {

namespace {

// Whether live_settings(app) would equal `saved`, found without copying a
// text: settings.ini may hold megabytes, and this runs every frame. Every
// field of live_settings must be compared here.
bool live_settings_equal(const App& app, const Settings& saved) {
    std::vector<std::string_view> targets;
    targets.reserve(app.trace_tabs.size());
    for (const TraceTab& tab : app.trace_tabs) targets.push_back(tab.target);
    std::size_t written = 0;
    for (const std::string_view target : targets) {
        const std::string_view trimmed = trim_unicode_space(target);
        if (trimmed.empty()) continue;
        if (written == saved.tabs.size() || saved.tabs[written] != trimmed) return false;
        ++written;
    }
    if (written != saved.tabs.size()) return false;
    if (saved.watch_tabs.size() != app.watch_tabs.size()) return false;
    for (std::size_t i = 0; i < app.watch_tabs.size(); ++i) {
        if (saved.watch_tabs[i] != app.watch_tabs[i].name) return false;
    }
    return saved.active_tab == saved_active_tab(targets, app.active_trace) &&
           saved.probe_ms == app.shared->probe_ms.load() && saved.route_secs == app.shared->route_secs.load() &&
           saved.view == app.layout_mode && saved.window == app.window_secs && saved.sound == app.sound_on &&
           saved.sound_choice == app.sound_choice && saved.sound_volume == app.sound_volume &&
           saved.flash == app.flash_on && saved.save_history == app.save_history &&
           app.shared->history_dir_is(saved.history_dir) && saved.utc == app.utc &&
           saved.maximized == app.maximized && saved.resume == app.resume && saved.mode == app.view_mode &&
           saved.watch_active == app.active_watch && saved.recent == app.recent;
}

}  // namespace

Settings live_settings(const App& app) {
    std::vector<std::string> targets;
    targets.reserve(app.trace_tabs.size());
    for (const TraceTab& tab : app.trace_tabs) targets.push_back(tab.target);

    Settings s;
    s.tabs = saved_tab_targets(targets);
    s.active_tab = saved_active_tab(targets, app.active_trace);
    s.probe_ms = app.shared->probe_ms.load();
    s.route_secs = app.shared->route_secs.load();
    s.view = app.layout_mode;
    s.window = app.window_secs;
    s.sound = app.sound_on;
    s.sound_choice = app.sound_choice;
    s.sound_volume = app.sound_volume;
    s.flash = app.flash_on;
    s.save_history = app.save_history;
    s.history_dir = app.shared->history_dir();
    s.utc = app.utc;
    s.maximized = app.maximized;
    s.resume = app.resume;
    s.mode = app.view_mode;
    s.watch_tabs.reserve(app.watch_tabs.size());
    for (const WatchTab& tab : app.watch_tabs) s.watch_tabs.push_back(tab.name);
    s.watch_active = app.active_watch;
    s.recent = app.recent;
    return s;
}

bool save_settings_if_changed(App& app, const Settings& settings) {
    std::string text = format_settings_ini(settings);
    if (text == app.last_saved_settings) return true;
    const std::filesystem::path file = settings_ini_path();
    if (app.keep_settings_backup) {
        // The unreadable file is kept before anything replaces it; once kept,
        // a failing write retried frame after frame keeps no more copies.
        if (text == app.backup_failed_for) return false;
        if (!keep_settings_backup(file)) {
            app.backup_failed_for = std::move(text);
            return false;
        }
        app.keep_settings_backup = false;
        app.backup_failed_for.clear();
    }
    if (!save_settings_text(file, text)) return false;
    app.last_saved_settings = std::move(text);
    return true;
}

void auto_save_settings(App& app) {
    if (live_settings_equal(app, app.last_saved_record)) return;
    Settings live = live_settings(app);
    // Only a record that is on disk stops the next frame's attempt.
    if (save_settings_if_changed(app, live)) app.last_saved_record = std::move(live);
}

bool set_history_dir(App& app, const std::filesystem::path& dir) {
    if (has_control_character(dir.native())) return false;
    app.history_dir_text = lossy_utf8(dir.native());
    app.shared->set_history_dir(dir);
    return true;
}

}  // namespace corvane
