#include "main/list_editor_load.h"

#include <cerrno>

#include "main/saved_lists.h"
#include "main/unicode_text.h"
#include "platform/os_error.h"
#include "platform/regular_file.h"

namespace corvane {

namespace {

std::string unreadable_reason(const RegularFile& file) {
    if (file.not_regular()) return "is not a regular file";
    if (file.error() == EFBIG) return "is larger than " + std::to_string(kMaxListFileBytes >> 20) + " MB";
    return "could not be read: " + os_error_text(file.error());
}

// The text with every NUL and every byte that is not UTF-8 shown as U+FFFD.
std::string shown_text(std::string_view bytes) {
    // One pass: a UTF-16 file has a NUL in every other byte.
    std::string out;
    for (const char c : lossy_utf8(bytes)) {
        if (c == '\0')
            out += "\uFFFD";
        else
            out += c;
    }
    return out;
}

}  // namespace

ListEditorText read_list_for_editor(std::string_view name) {
    const std::optional<std::filesystem::path> path = find_list_file(name);
    if (!path) return {};
    const std::string file_name = lossy_utf8(path->filename().native());
    RegularFile file(*path);
    if (!file.is_open() && file.error() == ENOENT) return {};
    std::optional<std::string> text = file.read_rest(kMaxListFileBytes);
    if (!text) return {std::string(), file_name + " " + unreadable_reason(file)};
    // An editor's text ends at its first NUL, so a save would cut the list
    // there; Windows editors' UTF-16 files hold NULs throughout.
    if (text->find('\0') != std::string::npos) return {shown_text(*text), file_name + " holds NUL bytes"};
    if (!is_valid_utf8(*text)) return {shown_text(*text), file_name + " is not UTF-8 text"};
    return {std::move(*text), std::nullopt};
}

}  // namespace corvane
