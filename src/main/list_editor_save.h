#pragma once
// Saving and deleting a watch list from the list editor. Every outcome of a
// save is told in the editor's message line.
#include "main/app.h"

namespace corvane {

// Validates the editor's name and text and writes the list file; on a rename
// the old file goes and an open tab takes the new name; a running tab of the
// list restarts on the new content. True when the list was saved.
bool save_list_from_editor(App& app);

// Deletes the list open in the editor, if any, closes its watch tab, and
// closes the editor in every case.
void delete_saved_list(App& app);

}  // namespace corvane
