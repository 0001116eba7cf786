#pragma once
// The application object: open tabs, the user's choices, the list editor's
// fields, the alert queue, the playback session and the shared settings.
// Lives on the UI thread; no GUI library is seen here.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/shared_settings.h"
#include "engine/trace_tab.h"
#include "engine/watch_tab.h"
#include "main/alert_entry.h"
#include "main/settings.h"
#include "main/sound_choice.h"
#include "replay/replay_session.h"
#include "main/color.h"

namespace corvane {

inline constexpr Color32 kMessageGreen = rgb(124, 194, 90);
inline constexpr Color32 kMessageRed = rgb(255, 59, 59);

struct App {
    std::vector<TraceTab> trace_tabs;  // never empty once start-up is done
    std::vector<std::filesystem::path> windows_sounds;
    std::string history_dir_text;
    std::vector<AlertEntry> alerts;  // only grows; newest last
    std::vector<std::string> recent;  // newest first, at most kMaxRecentTargets
    std::string last_saved_settings;
    Settings last_saved_record;  // what last_saved_settings was made from
    std::vector<WatchTab> watch_tabs;
    std::vector<std::string> saved_list_names;  // sorted
    std::string editor_name;
    std::string editor_text;
    SoundChoice sound_choice;
    std::optional<ReplaySession> replay;
    std::optional<std::string> error_banner;
    std::optional<std::string> editor_saved_name;  // none while the editor holds a new list
    std::optional<std::string> editor_message;
    // Why the saved list's file can't be kept by a save under its own name
    // ("<file name> <reason>"); none when the editor shows all the file holds.
    std::optional<std::string> editor_file_unkept;
    Color32 editor_message_color = kMessageGreen;
    SharedSettingsPtr shared = std::make_shared<SharedSettings>();
    std::size_t active_trace = 0;  // always below trace_tabs.size()
    std::uint64_t window_secs = 300;
    std::size_t active_watch = 0;  // 0 when there is no watch tab
    std::uint32_t frame_counter = 0;
    LayoutMode layout_mode = LayoutMode::Instrument;
    bool theme_pending = true;
    bool sound_on = true;
    bool flash_on = true;
    bool settings_open = false;
    bool utc = false;
    bool maximized = true;
    // The window's maximized flag when last read; none before the first read.
    std::optional<bool> window_maximized_seen;
    bool resume = true;
    ViewMode view_mode = ViewMode::Trace;
    bool editor_open = false;
    bool save_history = true;
    std::uint8_t sound_volume = 70;

    // settings.ini existed but could not be read: it is kept as a backup by
    // the first save, which would otherwise destroy it.
    bool keep_settings_backup = false;
    // The settings text whose save could not keep that backup: each try reads
    // the whole folder, so the next is made only once the settings change.
    std::string backup_failed_for;
};

// --- Tabs -----------------------------------------------------------------

// Starts the selected trace tab and puts its target at the front of `recent`.
void start_active_trace(App& app);

// A new, unstarted trace tab with an empty target, selected, in the trace view.
void add_trace_tab(App& app);

// Whether the selected trace tab's session is running.
bool active_trace_running(const App& app);

// Stops and removes trace tab `index` (nothing when it is past the end). The
// strip is never left empty: closing the only tab leaves a fresh one.
void close_trace_tab(App& app, std::size_t index);

// The first tab whose name equals the trimmed `name`, ignoring ASCII case.
std::optional<std::size_t> find_watch_tab(const std::vector<WatchTab>& tabs, std::string_view name);

// Switches to the watch view and selects the list's tab, opening it when it
// is not open and starting it when it is stopped.
void open_watch_list(App& app, std::string_view name);

// Stops and removes watch tab `index` (nothing when it is past the end).
void close_watch_tab(App& app, std::size_t index);

// The recent-targets rule: `target` trimmed goes to the front as typed, any
// entry equal to it ignoring ASCII case goes, and at most 12 stay. A blank
// target changes nothing.
void remember_recent_target(std::vector<std::string>& recent, std::string_view target);

// (Re)starts a watch tab on the hosts of its saved list, read afresh, so
// edits apply at the next start. A list without hosts starts nothing.
void start_watch_tab(WatchTab& tab, const SharedSettingsPtr& settings);

// --- Settings -------------------------------------------------------------

// The settings record of the live state. Blank trace tabs are not written,
// so the active index counts only the written ones.
Settings live_settings(const App& app);

// Writes settings.ini when `settings` serialises differently from the text
// last loaded or written. A failed write leaves `last_saved_settings` as it
// was, so a later call tries again; false then, true when the file holds
// the text.
bool save_settings_if_changed(App& app, const Settings& settings);

// The per-frame save: save_settings_if_changed with the live record, but
// only once the live state differs from the record last saved, so an
// unchanged frame neither copies nor formats the settings.
void auto_save_settings(App& app);

// Sets the history folder for the App and for running sessions; creates no
// folder. A path holding a control character is refused (it would break the
// one-line-per-key settings file) and the old folder stays; false then.
bool set_history_dir(App& app, const std::filesystem::path& dir);

}  // namespace corvane
