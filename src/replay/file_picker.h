#pragma once
// The system's open-file dialog for a history file, behind an interface so
// tests need no dialog.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/child_process.h"

namespace corvane {

class HistoryFilePicker {
public:
    virtual ~HistoryFilePicker() = default;
    // Blocks until the dialog closes. Nothing when cancelled or when no
    // dialog could be shown.
    virtual std::optional<std::filesystem::path> pick_history_file(const std::filesystem::path& start_dir) = 0;
};

// Runs zenity's file selection; its standard error goes to /dev/null.
class ZenityFilePicker : public HistoryFilePicker {
public:
    std::optional<std::filesystem::path> pick_history_file(const std::filesystem::path& start_dir) override;
    // The window the picker belongs to (an X11 window id; 0 for none), and
    // what it does while the picker is open.
    void attach_to(std::uint64_t window, WhileDialogOpen while_open = {}) {
        parent_window_ = window;
        while_open_ = std::move(while_open);
    }

private:
    std::uint64_t parent_window_ = 0;
    WhileDialogOpen while_open_;
};

inline constexpr const char* kPlaybackDialogTitle = "Play back a Corvane history file";

}  // namespace corvane
