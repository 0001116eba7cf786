#include "ui/font_faces.h"

#include <stb_truetype.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ui/fonts.h"
#include "ui/system_fonts.h"

namespace corvane {

namespace {

struct Face {
    std::string name;
    std::span<const unsigned char> data;  // a system face's file, read once; embedded faces live in the program
    int index = 0;
    stbtt_fontinfo info{};
    float height_per_em = 1.0f;  // (ascent - descent) / units per em
};

// Faces are only ever added (UI thread), and ids index this list.
std::vector<std::unique_ptr<Face>>& faces() {
    static std::vector<std::unique_ptr<Face>> list;
    return list;
}

FaceId add_face(std::unique_ptr<Face> f) {
    const int offset = stbtt_GetFontOffsetForIndex(f->data.data(), f->index);
    if (offset < 0 || !stbtt_InitFont(&f->info, f->data.data(), offset)) return kNoFace;
    f->height_per_em = stbtt_ScaleForMappingEmToPixels(&f->info, 1.0f) / stbtt_ScaleForPixelHeight(&f->info, 1.0f);
    faces().push_back(std::move(f));
    return static_cast<FaceId>(faces().size() - 1);
}

const Face& get(FaceId id) { return *faces()[static_cast<std::size_t>(id)]; }

// A collection's faces share one copy of its file (a CJK collection holds
// the sans-serif and the monospace faces, some 20 MB). Files are kept for
// the program's life, as faces are.
const std::vector<unsigned char>& read_font_file(const std::string& path) {
    static std::map<std::string, std::vector<unsigned char>> files;
    auto [it, added] = files.try_emplace(path);
    if (added) {
        std::ifstream in(path, std::ios::binary);
        it->second.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return it->second;
}

FaceId load_system_face(const SystemFontFile& file) {
    static std::map<std::pair<std::string, int>, FaceId> loaded;
    const auto key = std::make_pair(file.path, file.index);
    if (auto it = loaded.find(key); it != loaded.end()) return it->second;
    auto f = std::make_unique<Face>();
    const std::vector<unsigned char>& bytes = read_font_file(file.path);
    f->data = bytes;
    f->index = file.index;
    f->name = file.name;
    const FaceId id = bytes.empty() ? kNoFace : add_face(std::move(f));
    loaded[key] = id;
    return id;
}

}  // namespace

FaceId embedded_face(const std::string& name) {
    static std::map<std::string, FaceId> registered;
    if (auto it = registered.find(name); it != registered.end()) return it->second;
    FaceId id = kNoFace;
    if (const std::span<const unsigned char> data = embedded_font_data(name); !data.empty()) {
        auto f = std::make_unique<Face>();
        f->name = name;
        f->data = data;
        id = add_face(std::move(f));
    }
    registered[name] = id;
    return id;
}

FaceId system_face_for(char32_t cp, bool monospace) {
    static std::map<std::pair<char32_t, bool>, FaceId> found;
    static std::vector<std::optional<FaceId>> faces_in_order[2];  // loaded when first needed
    const auto key = std::make_pair(cp, monospace);
    if (auto it = found.find(key); it != found.end()) return it->second;
    std::vector<std::optional<FaceId>>& order = faces_in_order[monospace ? 1 : 0];
    order.resize(system_font_count(monospace));
    FaceId id = kNoFace;
    for (std::size_t i = 0; i < order.size() && id == kNoFace; ++i) {
        if (!system_font_holds(i, cp, monospace)) continue;
        if (!order[i]) order[i] = load_system_face(system_font_file(i, monospace));
        if (*order[i] != kNoFace && face_has_glyph(*order[i], cp)) id = *order[i];
    }
    found[key] = id;
    return id;
}

std::span<const unsigned char> face_data(FaceId face) { return get(face).data; }
int face_index(FaceId face) { return get(face).index; }
const std::string& face_name(FaceId face) { return get(face).name; }

bool face_has_glyph(FaceId face, char32_t cp) {
    return stbtt_FindGlyphIndex(&get(face).info, static_cast<int>(cp)) != 0;
}

float matching_pixel_size(FaceId face, FaceId main, float main_px) {
    return main_px * get(face).height_per_em / get(main).height_per_em;
}

float baked_ascent(FaceId face, float px) {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&get(face).info, &ascent, &descent, &gap);
    const float scale = stbtt_ScaleForPixelHeight(&get(face).info, px);
    return std::floor(static_cast<float>(ascent) * scale + (ascent > 0 ? 1.0f : -1.0f));
}

float baked_descent(FaceId face, float px) {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&get(face).info, &ascent, &descent, &gap);
    const float scale = stbtt_ScaleForPixelHeight(&get(face).info, px);
    return std::floor(static_cast<float>(descent) * scale + (descent > 0 ? 1.0f : -1.0f));
}

float snapped_advance(FaceId face, float px, char32_t cp) {
    const stbtt_fontinfo& info = get(face).info;
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&info, stbtt_FindGlyphIndex(&info, static_cast<int>(cp)), &advance, &bearing);
    // Rounded the way the atlas rounds a pixel-snapped advance.
    const float exact = stbtt_ScaleForPixelHeight(&info, px) * static_cast<float>(advance);
    return static_cast<float>(static_cast<int>(exact + 0.5f));
}

int glyph_texels(FaceId face, float px, char32_t cp, int padding) {
    const stbtt_fontinfo& info = get(face).info;
    const float scale = stbtt_ScaleForPixelHeight(&info, px);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBoxSubpixel(&info, stbtt_FindGlyphIndex(&info, static_cast<int>(cp)), scale, scale, 0.0f, 0.0f,
                                    &x0, &y0, &x1, &y1);
    return (x1 - x0 + padding) * (y1 - y0 + padding);
}

}  // namespace corvane
