#pragma once
// Helper programs (the system's dialogs, its file manager), started from PATH
// with an argument vector, never through a shell, with standard input and
// error on /dev/null and no other descriptor of ours open.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Runs the program to its end; its standard output when it exits with 0.
std::optional<std::string> run_for_output(const std::vector<std::string>& args);

// A picker that prints the chosen path followed by one line feed (zenity): the
// path, or nothing when cancelled, failed or missing. A name may hold other
// line feeds, so only the last one goes.
std::optional<std::filesystem::path> run_path_picker(const std::vector<std::string>& args);

// Starts the program and returns at once; false when it could not start.
bool start_detached_process(const std::vector<std::string>& args);

}  // namespace corvane
