#include "main/path_compare.h"

#include <string>
#include <vector>

namespace corvane {

namespace {

std::vector<std::string> path_components(const std::filesystem::path& p) {
    std::vector<std::string> out;
    for (const std::filesystem::path& e : p) {
        const std::string& s = e.native();
        if (s.empty() || (s == "." && !out.empty())) continue;
        out.push_back(s);
    }
    return out;
}

}  // namespace

bool same_path_components(const std::filesystem::path& a, const std::filesystem::path& b) {
    return path_components(a) == path_components(b);
}

}  // namespace corvane
