#pragma once
// Opening a saved list in the list editor. The editor can only write back
// what it shows: a file it can't show whole must not be replaced by a save.
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct ListEditorText {
    std::string text;  // what the editor shows
    // Why a save under the list's own name would lose what its file holds,
    // as "<file name> <reason>" (e.g. "Office.txt holds NUL bytes"): the file
    // is not a regular file, can't be read, is too large for a host list, is
    // not UTF-8 text or holds NUL bytes. None when the text is the file's.
    std::optional<std::string> unkept;
};

// The text of the saved list `name` for the editor. Bytes that are not UTF-8
// and NUL bytes are shown as U+FFFD; a file that can't be read shows as
// empty. A list without a file (or behind a dangling link) is empty and may be
// saved: it holds nothing to lose.
ListEditorText read_list_for_editor(std::string_view name);

}  // namespace corvane
