#include "main/app_update.h"

#include <limits>

#include "engine/clock.h"
#include "replay/replay_playback.h"
#include "sound/alert_sound.h"

namespace corvane {

namespace {

constexpr std::uint32_t kMaximizeFrame = 3;
// Before this the window manager may not have settled the window's state,
// and an early "not maximized" would overwrite the saved choice.
constexpr std::uint32_t kMaximizedTrustedAfter = 10;
constexpr double kRepaintSeconds = 0.25;

void copy_locked(const SharedTraceState& shared, TraceState& out, TraceCopyMarks& marks) {
    std::lock_guard lock(shared->mutex);
    refresh_trace_copy(shared->state, out, marks);
}

void apply_shortcuts(App& app, const FrameInput& in) {
    if (in.layout_instrument) app.layout_mode = LayoutMode::Instrument;
    if (in.layout_signal) app.layout_mode = LayoutMode::Signal;
    if (in.toggle_sound) app.sound_on = !app.sound_on;
    if (in.new_tab) add_trace_tab(app);
    if (in.close_tab && app.view_mode == ViewMode::Trace) close_trace_tab(app, app.active_trace);
}

void take_snapshots(const App& app, FrameView& view) {
    copy_locked(app.trace_tabs[app.active_trace].state, view.trace, view.trace_marks);
    if (app.active_watch < app.watch_tabs.size()) {
        copy_locked(app.watch_tabs[app.active_watch].state, view.watch, view.watch_marks);
    } else {
        view.watch = new_monitor_state();
        view.watch.status = kNoListOpen;
    }
}

bool replay_on_view(const App& app) {
    return app.replay && app.replay->is_watch == (app.view_mode == ViewMode::Watch);
}

void run_playback_or_live(App& app, FrameContext& ctx, FrameView& view) {
    if (!replay_on_view(app)) {
        // A recording's copy may be large; it is not kept once the recording is gone.
        if (!app.replay && !view.playback.hops.empty()) view.playback = TraceState{};
        view.displayed = app.view_mode == ViewMode::Watch ? &view.watch : &view.trace;
        view.now_ms = ctx.wall_clock ? ctx.wall_clock() : now_unix_ms();
        view.playback_active = false;
        return;
    }
    ReplaySession& replay = *app.replay;
    PlaybackFrame frame{std::chrono::steady_clock::now()};
    view.now_ms = playback_clock_step(replay, frame);
    if (frame.repaint_now) ctx.shell.request_repaint_after(0.0);
    copy_locked(replay.state, view.playback, view.playback_marks);
    view.displayed = &view.playback;
    view.playback_active = true;
}

void derive_selections(const App& app, FrameView& view) {
    const std::size_t count = view.displayed->hops.size();
    const std::optional<std::size_t> hop = app.trace_tabs[app.active_trace].selected_hop;
    view.selected_hop = hop && *hop < count ? *hop : (count == 0 ? 0 : count - 1);
    std::optional<std::size_t> host;
    if (app.active_watch < app.watch_tabs.size()) host = app.watch_tabs[app.active_watch].selected;
    view.selected_host = host && *host < count ? *host : 0;
    // A recording has no route checks of its own; a live view beside it
    // keeps the setting.
    view.route_secs = view.playback_active ? 0 : app.shared->route_secs.load();
    view.probe_ms = app.shared->probe_ms.load();
    view.statuses.clear();
    if (app.view_mode == ViewMode::Watch) {
        view.statuses.reserve(count);
        for (const HopStats& h : view.displayed->hops)
            view.statuses.push_back(watch_host_status_kind(h));
    }
}

// The setting follows what the user does to the window. A window manager
// that never carries out the maximize (or none at all) leaves the window as
// it opened; taken for a choice, that would rewrite settings.ini at a start
// where nothing was changed. So a first look only tells that the window is
// maximized; after it, every change of the window's state counts.
void follow_window_maximized(App& app, const ViewportInfo& vp) {
    if (!vp.maximized_known || (vp.minimized_known && vp.minimized) || app.frame_counter <= kMaximizedTrustedAfter)
        return;
    const bool changed = app.window_maximized_seen ? vp.maximized != *app.window_maximized_seen : vp.maximized;
    if (changed) app.maximized = vp.maximized;
    app.window_maximized_seen = vp.maximized;
}

}  // namespace

void play_chosen_alert_sound(const SoundChoice& choice, std::uint8_t volume) {
    if (choice.kind == SoundChoice::Kind::File) {
        play_alert_sound(choice.file);
    } else {
        play_alert_sound(choice.builtin, volume);
    }
}

void app_update_begin(App& app, FrameContext& ctx, const FrameInput& input, FrameView& view) {
    if (app.frame_counter < std::numeric_limits<std::uint32_t>::max()) ++app.frame_counter;
    if (app.frame_counter == kMaximizeFrame && app.maximized) ctx.shell.maximize();
    if (app.theme_pending) {
        app.theme_pending = false;
        ctx.shell.set_dark_theme();
    }
    // Start-up leaves a tab, and closing the last one refills the strip;
    // this only guards against an App built some other way.
    if (app.trace_tabs.empty()) app.trace_tabs.push_back(new_trace_tab(std::string()));
    if (app.active_trace >= app.trace_tabs.size()) app.active_trace = app.trace_tabs.size() - 1;

    apply_shortcuts(app, input);
    take_snapshots(app, view);
    run_playback_or_live(app, ctx, view);
    view.verdicts = compute_hop_verdicts(view.displayed->hops);
    derive_selections(app, view);
    app.shared->save_history = app.save_history;
    raise_alerts(app, ctx);
}

void app_update_end(App& app, FrameContext& ctx) {
    follow_window_maximized(app, ctx.shell.viewport_info());
    auto_save_settings(app);
    ctx.shell.request_repaint_after(kRepaintSeconds);
}

void app_update(App& app, FrameContext& ctx, const FrameInput& input, FrameView& view,
                const std::function<void(FrameView&)>& panels) {
    app_update_begin(app, ctx, input, view);
    if (panels) panels(view);
    app_update_end(app, ctx);
}

}  // namespace corvane
