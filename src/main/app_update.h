#pragma once
// The per-frame update: window commands, shortcuts, the snapshots the views
// draw from, the playback clock, hop verdicts, alerts, the views' requests,
// the settings auto-save and the next repaint. The window runs it every frame
// through the Shell interface, so all of it works without a window.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/host_status.h"
#include "engine/monitor_state.h"
#include "engine/trace_copy.h"
#include "main/app.h"
#include "main/hop_verdicts.h"
#include "main/shell_api.h"

namespace corvane {

// This frame's keyboard, as the window read it. A shortcut counts when Ctrl
// was held and its key was pressed at least once in the frame.
struct FrameInput {
    bool layout_instrument = false;  // Ctrl+1
    bool layout_signal = false;      // Ctrl+2
    bool toggle_sound = false;       // Ctrl+M
    bool new_tab = false;            // Ctrl+T
    bool close_tab = false;          // Ctrl+W
    bool escape = false;             // closes whichever floating window is open
};

// Plays the chosen alert sound. The program's player plays it; tests count.
using AlertSoundPlayer = std::function<void(const SoundChoice& choice, std::uint8_t volume)>;
void play_chosen_alert_sound(const SoundChoice& choice, std::uint8_t volume);

// What the frame reaches outside the App.
struct FrameContext {
    Shell& shell;
    AlertSoundPlayer play_sound = play_chosen_alert_sound;
    // The wall clock in Unix ms; tests may pin it.
    std::function<std::int64_t()> wall_clock;
};

// The values the views draw from during one frame. Kept from frame to frame
// so that each snapshot is brought up to date from its state rather than
// copied whole; nothing else in it carries into the next frame.
struct FrameView {
    FrameView() = default;
    FrameView(const FrameView&) = delete;
    FrameView& operator=(const FrameView&) = delete;

    TraceState trace;      // the active trace tab's state
    TraceState watch;      // the active watch tab's, or "No list open"
    TraceState playback;   // the recording's, while one is on view
    TraceCopyMarks trace_marks, watch_marks, playback_marks;
    // What the central views draw: one of the three above.
    const TraceState* displayed = &trace;
    std::int64_t now_ms = 0;  // wall clock, or the playback position
    bool playback_active = false;
    HopVerdicts verdicts;
    std::size_t selected_hop = 0;   // the charted hop of the trace view
    std::size_t selected_host = 0;  // the charted host of the watch view
    std::uint64_t route_secs = 0;   // 0 while the views show a recording
    std::uint64_t probe_ms = 0;
    std::vector<HostStatusKind> statuses;  // watch view: one per displayed host
};

inline constexpr const char* kNoListOpen = "No list open";

// Requests handed back by the panels. Each panel fills only its own; the
// frame applies them right after that panel.
struct PanelActions {
    // Trace tab strip.
    std::optional<std::size_t> close_trace_tab{};
    std::optional<std::size_t> select_trace_tab{};
    bool new_trace_tab = false;
    // Watch tab strip.
    std::optional<std::size_t> close_watch_tab{};
    std::optional<std::size_t> select_watch_tab{};
    std::optional<std::string> open_list{};
    bool new_list = false;
    // "List editor" window.
    bool editor_save_and_watch = false;
    bool editor_delete = false;
    bool editor_close = false;
    // Playback bar.
    bool back_to_live = false;
    // "Settings" window.
    bool settings_done = false;
    // Watch header and watch table.
    std::optional<std::string> edit_list{};
    std::optional<std::string> trace_host{};
};

// Which panel handed the actions back: Escape closes the floating windows.
enum class ActionSource : std::uint8_t { Panel, ListEditor, Settings };

// Applies the requests and clears them.
void apply_panel_actions(App& app, PanelActions& actions, ActionSource source = ActionSource::Panel,
                         bool escape = false);

// Steps before the panels: frame counter and window commands, shortcuts,
// snapshots, playback clock, verdicts and selections, alerts.
void app_update_begin(App& app, FrameContext& ctx, const FrameInput& input, FrameView& view);

// Steps after the panels: the maximized re-read, the settings auto-save and
// the next repaint.
void app_update_end(App& app, FrameContext& ctx);

// The whole frame; `panels` lays out and draws the panels in between.
void app_update(App& app, FrameContext& ctx, const FrameInput& input, FrameView& view,
                const std::function<void(FrameView&)>& panels = {});

// Trace tabs' new route changes, then watch tabs' new outages and recoveries,
// become alerts; each pass that raised one plays the sound and flashes the
// taskbar once.
void raise_alerts(App& app, FrameContext& ctx);

// The Settings window closes: a non-blank folder text that names another
// folder becomes the history folder.
void close_settings_window(App& app);

// The watch table's "trace this host": switch to (and if stopped, start) the
// tab already tracing it, or start it in a blank or new tab.
void trace_host_from_watch(App& app, const std::string& host);

// The list editor's openers: on an empty new list, or on a saved one.
void open_new_list_editor(App& app);
void open_list_editor(App& app, const std::string& name);

}  // namespace corvane
