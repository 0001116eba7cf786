#include "platform/system_dialogs.h"

#include <string>
#include <system_error>
#include <vector>

#include "platform/child_process.h"

namespace corvane {

std::vector<std::string> zenity_file_selection(std::uint64_t parent_window) {
    std::vector<std::string> args = {"zenity", "--file-selection"};
    if (parent_window != 0) {
        args.emplace_back("--modal");
        args.push_back("--attach=" + std::to_string(parent_window));
    }
    return args;
}

std::optional<std::filesystem::path> ZenitySystemDialogs::pick_wav_file() {
    std::vector<std::string> args = zenity_file_selection(parent_window_);
    args.push_back(std::string("--title=") + kSoundDialogTitle);
    args.push_back(std::string("--file-filter=") + kSoundDialogFilter + " | *.wav *.WAV");
    return run_path_picker(args, while_open_);
}

std::optional<std::filesystem::path> ZenitySystemDialogs::pick_folder(const std::filesystem::path& start_dir) {
    std::vector<std::string> args = zenity_file_selection(parent_window_);
    args.emplace_back("--directory");
    args.push_back(std::string("--title=") + kFolderDialogTitle);
    if (!start_dir.empty()) {
        // The trailing slash makes zenity open the folder rather than
        // preselect it in its parent.
        std::string dir = start_dir.native();
        if (dir.back() != '/') dir.push_back('/');
        args.push_back("--filename=" + dir);
    }
    return run_path_picker(args, while_open_);
}

void ZenitySystemDialogs::open_folder(const std::filesystem::path& dir) {
    // xdg-open takes anything starting with '-' for an option; an absolute
    // path never does.
    std::filesystem::path target = dir;
    if (!target.is_absolute()) {
        std::error_code ec;
        std::filesystem::path full = std::filesystem::absolute(target, ec);
        if (!ec) target = std::move(full);
    }
    // Not waited for: the file manager may outlive the program.
    start_detached_process({"xdg-open", target.native()});
}

}  // namespace corvane
