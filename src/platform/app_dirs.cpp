#include "platform/app_dirs.h"

#include <cstdlib>

namespace corvane {

std::optional<std::string> env_var(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) return std::nullopt;
    return std::string(v);
}

namespace {
std::filesystem::path xdg_dir(const char* var, const char* home_relative) {
    if (auto v = env_var(var)) return *v;
    if (auto home = env_var("HOME")) return std::filesystem::path(*home) / home_relative;
    return ".";
}
}  // namespace

std::filesystem::path roaming_data_dir() {
    if (auto v = env_var("APPDATA")) return *v;
    return xdg_dir("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path local_data_dir() {
    if (auto v = env_var("LOCALAPPDATA")) return *v;
    if (auto v = env_var("APPDATA")) return *v;
    return xdg_dir("XDG_DATA_HOME", ".local/share");
}

}  // namespace corvane
