#include "replay/file_picker.h"

#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/system_dialogs.h"

namespace corvane {

std::optional<std::filesystem::path> ZenityFilePicker::pick_history_file(const std::filesystem::path& start_dir) {
    std::string dir = start_dir.native();
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    std::vector<std::string> args = zenity_file_selection(parent_window_);
    args.push_back(std::string("--title=") + kPlaybackDialogTitle);
    args.emplace_back("--file-filter=Corvane history | *.csv");
    args.push_back("--filename=" + dir);
    return run_path_picker(args, while_open_);
}

}  // namespace corvane
