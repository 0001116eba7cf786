#include "sound/sounds_catalogue.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/app_dirs.h"

namespace corvane {

namespace {

// The text after the last "." of a file name, unless that dot starts the
// name (".wav" is a hidden file with no extension).
std::string_view extension_of(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

std::string_view stem_of(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return name;
    return name.substr(0, dot);
}

bool is_wav_name(std::string_view name) {
    const std::string_view ext = extension_of(name);
    if (ext.size() != 3) return false;
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return lower(ext[0]) == 'w' && lower(ext[1]) == 'a' && lower(ext[2]) == 'v';
}

// Invalid UTF-8 becomes U+FFFD, so any name still gets a place in the order.
std::string lower_stem(const std::filesystem::path& p) {
    const std::string name = p.filename().native();
    const std::string_view stem = stem_of(name);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(stem.data(), static_cast<std::int32_t>(stem.size())));
    text.toLower(icu::Locale::getRoot());
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace

std::filesystem::path system_sounds_dir() {
    if (auto windir = env_var("WINDIR")) return std::filesystem::path(*windir) / "Media";
    return "/usr/share/sounds/alsa";
}

std::optional<std::filesystem::path> next_wav_file(std::filesystem::directory_iterator& it) {
    const std::filesystem::directory_iterator end;
    while (it != end) {
        std::filesystem::path path = it->path();
        std::error_code ec;
        it.increment(ec);
        // A failing listing ends here rather than throwing into the caller.
        if (ec) it = end;
        if (is_wav_name(path.filename().native())) return path;
    }
    return std::nullopt;
}

bool cmp_file_name_ci(const std::filesystem::path& a, const std::filesystem::path& b) {
    return lower_stem(a) < lower_stem(b);
}

std::vector<std::filesystem::path> gather_system_sounds() {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    std::filesystem::directory_iterator it(system_sounds_dir(), ec);
    if (ec) return found;
    while (auto p = next_wav_file(it)) found.push_back(std::move(*p));

    // The keys are worked out once rather than at every comparison; the
    // order is the one cmp_file_name_ci gives.
    std::vector<std::pair<std::string, std::filesystem::path>> keyed;
    keyed.reserve(found.size());
    for (auto& p : found) keyed.emplace_back(lower_stem(p), std::move(p));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    found.clear();
    for (auto& [key, p] : keyed) found.push_back(std::move(p));
    return found;
}

}  // namespace corvane
