#include "main/app.h"

#include "main/settings_file.h"
#include "main/settings_tabs.h"
#include "main/unicode_text.h"

namespace corvane {

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

void save_settings_if_changed(App& app, const Settings& settings) {
    std::string text = format_settings_ini(settings);
    if (text == app.last_saved_settings) return;
    if (!save_settings_text(settings_ini_path(), text, app.keep_settings_backup)) return;
    app.keep_settings_backup = false;
    app.last_saved_settings = std::move(text);
}

bool set_history_dir(App& app, const std::filesystem::path& dir) {
    if (has_control_character(dir.native())) return false;
    app.history_dir_text = lossy_utf8(dir.native());
    app.shared->set_history_dir(dir);
    return true;
}

}  // namespace corvane
