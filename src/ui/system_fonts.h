#pragma once
// Installed fonts, through fontconfig: where a character the embedded faces
// lack can be drawn from.
#include <cstddef>
#include <string>

namespace corvane {

struct SystemFontFile {
    std::string path;
    int index = 0;     // the face within a collection file
    std::string name;  // family and style, for messages
};

// The installed outline faces, in the order fontconfig prefers them for
// sans-serif (or monospace) text: how many, whether face `i` holds `cp`, and
// where face `i` is.
std::size_t system_font_count(bool monospace);
bool system_font_holds(std::size_t i, char32_t cp, bool monospace);
SystemFontFile system_font_file(std::size_t i, bool monospace);

}  // namespace corvane
