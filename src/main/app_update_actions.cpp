#include "main/app_update.h"

#include "main/list_editor_load.h"
#include "main/list_editor_save.h"
#include "main/path_compare.h"
#include "main/unicode_text.h"

namespace corvane {

namespace {

// A close wins over a select of the same strip in the same frame; a new tab
// or list is applied as well.
void apply_trace_strip(App& app, const PanelActions& a) {
    if (a.close_trace_tab) {
        close_trace_tab(app, *a.close_trace_tab);
    } else if (a.select_trace_tab && *a.select_trace_tab < app.trace_tabs.size()) {
        app.active_trace = *a.select_trace_tab;
    }
    if (a.new_trace_tab) add_trace_tab(app);
}

void apply_watch_strip(App& app, const PanelActions& a) {
    if (a.close_watch_tab) {
        close_watch_tab(app, *a.close_watch_tab);
    } else if (a.select_watch_tab && *a.select_watch_tab < app.watch_tabs.size()) {
        app.active_watch = *a.select_watch_tab;
    }
    if (a.open_list) open_watch_list(app, *a.open_list);
    if (a.new_list) open_new_list_editor(app);
}

void apply_list_editor(App& app, const PanelActions& a) {
    if (a.editor_save_and_watch && save_list_from_editor(app)) {
        const std::string name(trim_unicode_space(app.editor_name));
        open_watch_list(app, name);
        app.editor_open = false;
    }
    if (a.editor_delete) delete_saved_list(app);
    if (a.editor_close) app.editor_open = false;
}

}  // namespace

void apply_panel_actions(App& app, PanelActions& actions, ActionSource source, bool escape) {
    if (escape && source == ActionSource::ListEditor) actions.editor_close = true;
    if (escape && source == ActionSource::Settings) actions.settings_done = true;

    apply_trace_strip(app, actions);
    apply_watch_strip(app, actions);
    apply_list_editor(app, actions);
    if (actions.back_to_live) {
        app.replay.reset();
        // The hop picked in the recording means nothing on the live route.
        if (app.active_trace < app.trace_tabs.size()) app.trace_tabs[app.active_trace].selected_hop.reset();
    }
    if (actions.settings_done) close_settings_window(app);
    if (actions.edit_list) open_list_editor(app, *actions.edit_list);
    if (actions.trace_host) trace_host_from_watch(app, *actions.trace_host);
    actions = PanelActions{};
}

void close_settings_window(App& app) {
    const std::string_view text = trim_unicode_space(app.history_dir_text);
    if (!text.empty()) {
        const std::filesystem::path dir{std::string(text)};
        if (!same_path_components(dir, app.shared->history_dir())) set_history_dir(app, dir);
    }
    app.settings_open = false;
}

void trace_host_from_watch(App& app, const std::string& host) {
    app.view_mode = ViewMode::Trace;
    const std::string_view wanted = trim_unicode_space(host);
    for (std::size_t i = 0; i < app.trace_tabs.size(); ++i) {
        if (!ascii_equal_ignore_case(trim_unicode_space(app.trace_tabs[i].target), wanted)) continue;
        app.active_trace = i;
        if (!active_trace_running(app)) start_active_trace(app);
        return;
    }
    std::optional<std::size_t> blank;
    for (std::size_t i = 0; i < app.trace_tabs.size() && !blank; ++i) {
        if (trim_unicode_space(app.trace_tabs[i].target).empty()) blank = i;
    }
    if (!blank) {
        app.trace_tabs.push_back(new_trace_tab(std::string()));
        blank = app.trace_tabs.size() - 1;
    }
    app.trace_tabs[*blank].target = host;
    app.active_trace = *blank;
    start_active_trace(app);
}

void open_new_list_editor(App& app) {
    app.editor_saved_name.reset();
    app.editor_name.clear();
    app.editor_text.clear();
    app.editor_message.reset();
    app.editor_file_unkept.reset();
    app.editor_open = true;
}

void open_list_editor(App& app, const std::string& name) {
    app.editor_saved_name = name;
    app.editor_name = name;
    ListEditorText loaded = read_list_for_editor(name);
    app.editor_text = std::move(loaded.text);
    app.editor_file_unkept = std::move(loaded.unkept);
    app.editor_message.reset();
    if (app.editor_file_unkept) {
        app.editor_message = *app.editor_file_unkept +
                             ". A save would replace what it holds, so this list saves only under a new name.";
        app.editor_message_color = kMessageRed;
    }
    app.editor_open = true;
}

}  // namespace corvane
