#include "ui/system_fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <vector>

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

FcFontSet* sorted_set(bool monospace) {
    if (!start_fontconfig()) return nullptr;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(monospace ? "monospace" : "sans-serif"));
    if (pattern == nullptr) return nullptr;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    return set;
}

std::string text_of(FcPattern* p, const char* object) {
    FcChar8* s = nullptr;
    return FcPatternGetString(p, object, 0, &s) == FcResultMatch ? reinterpret_cast<const char*>(s) : "";
}

// The faces of the sorted set the rasteriser can use: outlines in a file
// (bitmap-only faces, colour emoji say, give it nothing), with their
// characters, so that asking whether one holds a character allocates nothing.
struct Candidate {
    FcPattern* pattern;
    FcCharSet* chars;
};

const std::vector<Candidate>& preference_order(bool monospace) {
    static std::vector<Candidate> order[2];
    static bool made[2] = {false, false};
    const int k = monospace ? 1 : 0;
    if (made[k]) return order[k];
    made[k] = true;
    g_sets[k] = sorted_set(monospace);
    if (g_sets[k] == nullptr) return order[k];
    for (int i = 0; i < g_sets[k]->nfont; ++i) {
        FcPattern* p = g_sets[k]->fonts[i];
        FcCharSet* chars = nullptr;
        FcBool outline = FcFalse;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &chars) != FcResultMatch) continue;
        if (FcPatternGetBool(p, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) continue;
        if (text_of(p, FC_FILE).empty()) continue;
        order[k].push_back({p, chars});
    }
    return order[k];
}

}  // namespace

std::size_t system_font_count(bool monospace) { return preference_order(monospace).size(); }

bool system_font_holds(std::size_t i, char32_t cp, bool monospace) {
    return FcCharSetHasChar(preference_order(monospace)[i].chars, cp) != FcFalse;
}

SystemFontFile system_font_file(std::size_t i, bool monospace) {
    FcPattern* p = preference_order(monospace)[i].pattern;
    SystemFontFile file;
    file.path = text_of(p, FC_FILE);
    int index = 0;
    if (FcPatternGetInteger(p, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
    file.name = text_of(p, FC_FAMILY) + " " + text_of(p, FC_STYLE);
    return file;
}

}  // namespace corvane
