#include "replay/file_picker.h"

#include <string>
#include <vector>

#include "platform/child_process.h"

namespace corvane {

std::optional<std::filesystem::path> ZenityFilePicker::pick_history_file(const std::filesystem::path& start_dir) {
    std::string dir = start_dir.native();
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    const std::vector<std::string> args = {
        "zenity",
        "--file-selection",
        std::string("--title=") + kPlaybackDialogTitle,
        "--file-filter=Corvane history | *.csv",
        "--filename=" + dir,
    };
    return run_path_picker(args);
}

}  // namespace corvane
