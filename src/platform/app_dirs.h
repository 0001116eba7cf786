#pragma once
// Where the program keeps its files. The Windows variables win when set (tests
// point them at temporary folders); otherwise the XDG folders stand in.
#include <filesystem>
#include <optional>
#include <string>

namespace corvane {

// The variable's value when it is set and not empty.
std::optional<std::string> env_var(const char* name);

// APPDATA when set, else XDG_CONFIG_HOME, else ~/.config, else ".".
std::filesystem::path roaming_data_dir();
// LOCALAPPDATA when set, else APPDATA, else XDG_DATA_HOME, else
// ~/.local/share, else ".".
std::filesystem::path local_data_dir();

}  // namespace corvane
