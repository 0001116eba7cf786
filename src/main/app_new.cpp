#include "main/app_new.h"

#include <algorithm>

#include "engine/clock_text.h"
#include "engine/watch_session_limits.h"
#include "main/saved_lists.h"
#include "main/settings_file.h"
#include "main/unicode_text.h"
#include "sound/sounds_catalogue.h"

namespace corvane {

namespace {

// A saved selection may point past the tabs that could be reopened.
std::size_t clamp_selection(std::uint64_t saved, std::size_t count) {
    if (count == 0) return 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(saved, count - 1));
}

bool list_is_saved(const std::vector<std::string>& saved, const std::string& name) {
    return std::any_of(saved.begin(), saved.end(),
                       [&](const std::string& s) { return list_names_equal(s, name); });
}

}  // namespace

App app_new() {
    // Every watched host holds a socket of its own; a restored long list
    // must not run out of descriptors.
    raise_open_file_limit();

    LoadedSettings loaded = load_settings_file(settings_ini_path());
    const Settings& s = loaded.settings;

    App app;
    app.keep_settings_backup = loaded.keep_unreadable_file;

    if (s.resume) {
        for (const std::string& target : s.tabs) app.trace_tabs.push_back(new_trace_tab(target));
    } else {
        app.trace_tabs.push_back(new_trace_tab(std::string()));
    }
    app.active_trace = clamp_selection(s.resume ? s.active_tab : 0, app.trace_tabs.size());

    app.shared = std::make_shared<SharedSettings>();
    app.shared->probe_ms = s.probe_ms;
    app.shared->route_secs = s.route_secs;
    app.shared->set_history_dir(s.history_dir);
    app.shared->save_history = s.save_history;

    app.windows_sounds = gather_system_sounds();
    app.history_dir_text = lossy_utf8(s.history_dir.native());
    app.recent = s.recent;
    app.last_saved_settings = format_settings_ini(s);
    app.last_saved_record = s;
    app.saved_list_names = list_saved_list_files();

    app.layout_mode = s.view;
    app.window_secs = s.window;
    app.sound_on = s.sound;
    app.flash_on = s.flash;
    app.view_mode = s.mode;
    app.sound_choice = s.sound_choice;
    app.sound_volume = s.sound_volume;
    app.save_history = s.save_history;
    app.utc = s.utc;
    app.maximized = s.maximized;
    app.resume = s.resume;
    app.theme_pending = true;

    if (s.resume) {
        for (const std::string& name : s.watch_tabs) {
            // A list deleted since the last run is not brought back empty.
            if (!list_is_saved(app.saved_list_names, name)) continue;
            WatchTab tab = new_watch_tab(name);
            start_watch_tab(tab, app.shared);
            app.watch_tabs.push_back(std::move(tab));
        }
    }
    app.active_watch = clamp_selection(s.watch_active, app.watch_tabs.size());

    set_clock_utc(app.utc);

    if (app.trace_tabs.empty()) {
        app.trace_tabs.push_back(new_trace_tab(std::string()));
        app.active_trace = 0;
    }
    for (TraceTab& tab : app.trace_tabs) start_trace_tab(tab, app.shared);
    return app;
}

}  // namespace corvane
