#include "ui/system_fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <utility>

namespace corvane {

namespace {

// Every installed face, in the order fontconfig prefers them for the generic
// family; sorted once, since sorting reads every face's description.
FcFontSet* g_sets[2] = {nullptr, nullptr};

// fontconfig keeps what it loaded until told to let go.
void release_fontconfig() {
    for (FcFontSet*& set : g_sets) {
        if (set != nullptr) FcFontSetDestroy(set);
        set = nullptr;
    }
    FcFini();
}

bool start_fontconfig() {
    static const bool started = [] {
        if (!FcInit()) return false;
        std::atexit(release_fontconfig);
        return true;
    }();
    return started;
}

FcFontSet* preference_order(bool monospace) {
    static bool tried[2] = {false, false};
    const int k = monospace ? 1 : 0;
    if (tried[k]) return g_sets[k];
    tried[k] = true;
    if (!start_fontconfig()) return nullptr;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(monospace ? "monospace" : "sans-serif"));
    if (pattern == nullptr) return nullptr;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    g_sets[k] = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    return g_sets[k];
}

std::string text_of(FcPattern* p, const char* object) {
    FcChar8* s = nullptr;
    return FcPatternGetString(p, object, 0, &s) == FcResultMatch ? reinterpret_cast<const char*>(s) : "";
}

}  // namespace

std::vector<SystemFontFile> system_fonts_with(char32_t cp, bool monospace) {
    std::vector<SystemFontFile> out;
    FcFontSet* set = preference_order(monospace);
    if (set == nullptr) return out;
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* sorted = set->fonts[i];
        FcCharSet* chars = nullptr;
        if (FcPatternGetCharSet(sorted, FC_CHARSET, 0, &chars) != FcResultMatch || !FcCharSetHasChar(chars, cp))
            continue;
        FcBool outline = FcFalse;  // bitmap-only faces (colour emoji) give the rasteriser nothing
        if (FcPatternGetBool(sorted, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) continue;
        SystemFontFile file;
        file.path = text_of(sorted, FC_FILE);
        if (file.path.empty()) continue;
        int index = 0;
        if (FcPatternGetInteger(sorted, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
        file.name = text_of(sorted, FC_FAMILY) + " " + text_of(sorted, FC_STYLE);
        out.push_back(std::move(file));
    }
    return out;
}

}  // namespace corvane
