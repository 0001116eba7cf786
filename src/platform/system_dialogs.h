#pragma once
// The system's pickers and file manager that the Settings window reaches,
// behind an interface so the window's tests need no dialog.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/child_process.h"

namespace corvane {

class SystemDialogs {
public:
    virtual ~SystemDialogs() = default;

    // An open-file dialog for a WAV sound, with no start folder. Blocks until
    // the dialog closes; nothing when cancelled or when no dialog could be
    // shown.
    virtual std::optional<std::filesystem::path> pick_wav_file() = 0;

    // A folder picker starting in `start_dir`. Blocks like pick_wav_file.
    virtual std::optional<std::filesystem::path> pick_folder(const std::filesystem::path& start_dir) = 0;

    // Shows `dir` in the system's file manager and returns at once; a
    // failure to start it is ignored.
    virtual void open_folder(const std::filesystem::path& dir) = 0;
};

// The start of zenity's arguments for a file or folder picker. With a
// window (an X11 window id, not 0) the picker is modal to it, so a window
// manager keeps it above the window.
std::vector<std::string> zenity_file_selection(std::uint64_t parent_window);

// zenity for the pickers, xdg-open for the file manager, both found on PATH
// and started with an argument vector (no shell); their standard error goes
// to /dev/null.
class ZenitySystemDialogs final : public SystemDialogs {
public:
    std::optional<std::filesystem::path> pick_wav_file() override;
    std::optional<std::filesystem::path> pick_folder(const std::filesystem::path& start_dir) override;
    void open_folder(const std::filesystem::path& dir) override;
    // The window the pickers belong to (0 for none), and what it does while
    // one is open.
    void attach_to(std::uint64_t window, WhileDialogOpen while_open = {}) {
        parent_window_ = window;
        while_open_ = std::move(while_open);
    }

private:
    std::uint64_t parent_window_ = 0;
    WhileDialogOpen while_open_;
};

inline constexpr const char* kSoundDialogTitle = "Choose an alert sound";
inline constexpr const char* kSoundDialogFilter = "WAV sound";
inline constexpr const char* kFolderDialogTitle = "Choose a folder for Corvane history";

}  // namespace corvane
