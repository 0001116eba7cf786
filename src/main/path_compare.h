#pragma once
// Folder and file paths as the user sees them: "a/b/", "a//b" and "a/./b"
// name the same place as "a/b".
#include <filesystem>

namespace corvane {

// Equal element by element, ignoring empty elements (doubled or trailing
// separators) and "." elements after the first.
bool same_path_components(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace corvane
