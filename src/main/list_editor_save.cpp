#include "main/list_editor_save.h"

#include <system_error>

#include "main/atomic_file.h"
#include "main/saved_lists.h"
#include "main/saved_lists_hosts.h"
#include "main/unicode_text.h"
#include "platform/os_error.h"

namespace corvane {

namespace {

bool fail(App& app, std::string message) {
    app.editor_message = std::move(message);
    app.editor_message_color = kMessageRed;
    return false;
}

// File names are case-sensitive here while list names are not: the list's
// file is whichever file on disk holds it, so a save or a delete acts on that
// one file instead of adding a second spelling beside it.
std::filesystem::path file_of_list(std::string_view name) {
    return find_list_file(name).value_or(list_file_path(name));
}

void remove_list_file(std::string_view name) {
    if (const auto path = find_list_file(name)) remove_list_file_at(*path);
}

}  // namespace

bool save_list_from_editor(App& app) {
    const std::string name(trim_unicode_space(app.editor_name));
    // A name made only of dots would be written as ".txt", which the folder
    // scan never shows: refused like an empty one.
    if (name.empty() || sanitize_list_file_name(name).empty()) return fail(app, "Give the list a name first.");
    if (parse_host_list(app.editor_text).empty()) return fail(app, "Paste at least one address or host name.");

    const bool rename = app.editor_saved_name && !list_names_equal(*app.editor_saved_name, name);
    if (app.editor_file_unkept && !rename)
        return fail(app, "Not saved: " + *app.editor_file_unkept + ". Give the list a new name.");
    for (const std::string& saved : app.saved_list_names) {
        if (!list_names_equal(saved, name)) continue;
        if (app.editor_saved_name && !rename) continue;  // the list itself
        return fail(app, "A list named " + name + " already exists.");
    }

    std::error_code ec;
    std::filesystem::create_directories(lists_dir(), ec);
    if (!write_file_atomically(file_of_list(name), app.editor_text, Durability::Synced, ec)) {
        return fail(app, "Could not save: " + os_error_text(ec.value()));
    }

    // A file the editor could not show whole stays: the new name is a copy.
    if (rename && !app.editor_file_unkept) {
        remove_list_file(*app.editor_saved_name);
        if (const auto old_tab = find_watch_tab(app.watch_tabs, *app.editor_saved_name)) {
            app.watch_tabs[*old_tab].name = name;
        }
    }
    if (const auto tab = find_watch_tab(app.watch_tabs, name)) {
        WatchTab& watch = app.watch_tabs[*tab];
        if (watch.stop && !watch.stop->load()) start_watch_tab(watch, app.shared);
    }

    app.editor_saved_name = name;
    app.editor_name = name;
    app.editor_file_unkept.reset();
    app.saved_list_names = list_saved_list_files();
    app.editor_message = "Saved.";
    app.editor_message_color = kMessageGreen;
    return true;
}

void delete_saved_list(App& app) {
    if (app.editor_saved_name) {
        const std::string name = *app.editor_saved_name;
        remove_list_file(name);
        if (const auto tab = find_watch_tab(app.watch_tabs, name)) close_watch_tab(app, *tab);
        app.saved_list_names = list_saved_list_files();
    }
    app.editor_open = false;
}

}  // namespace corvane
