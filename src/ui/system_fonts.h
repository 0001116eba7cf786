#pragma once
// Installed fonts, through fontconfig: where a character the embedded faces
// lack can be drawn from.
#include <string>
#include <vector>

namespace corvane {

struct SystemFontFile {
    std::string path;
    int index = 0;     // the face within a collection file
    std::string name;  // family and style, for messages
};

// The installed outline faces that hold `cp`, in the order fontconfig prefers
// them for sans-serif (or monospace) text.
std::vector<SystemFontFile> system_fonts_with(char32_t cp, bool monospace);

}  // namespace corvane
