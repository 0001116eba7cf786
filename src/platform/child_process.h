#pragma once
// Helper programs (the system's dialogs, its file manager), started from PATH
// with an argument vector, never through a shell, with standard input and
// error on /dev/null and no other descriptor of ours open.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// What the waiting thread does while a dialog is open: called about every
// 20 ms with the dialog's process id.
using WhileDialogOpen = std::function<void(int pid)>;

// Runs the program to its end; its standard output when it exits with 0.
// The program gets a process group of its own, which end_pickers_for_exit
// ends whole: nothing then, as for a failure. `while_open`, when given, runs
// on this thread while the program runs.
std::optional<std::string> run_for_output(const std::vector<std::string>& args,
                                          const WhileDialogOpen& while_open = {});

// For a handler of SIGTERM and SIGINT (async-signal-safe): ends the program
// run_for_output waits for, on whichever thread the signal arrived, and every
// later one before it starts, so a picker left open never holds up the exit.
void end_pickers_for_exit() noexcept;

// A picker that prints the chosen path followed by one line feed (zenity): the
// path, or nothing when cancelled, failed or missing. A name may hold other
// line feeds, so only the last one goes.
std::optional<std::filesystem::path> run_path_picker(const std::vector<std::string>& args,
                                                     const WhileDialogOpen& while_open = {});

// Starts the program and returns at once; false when it could not start.
bool start_detached_process(const std::vector<std::string>& args);

}  // namespace corvane
