#include "ui/render_colors.h"

#include <imgui.h>

#include <array>
#include <cmath>

namespace corvane {

std::uint8_t text_coverage(std::uint8_t alpha) {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (int a = 0; a < 256; ++a)
            t[static_cast<std::size_t>(a)] =
                static_cast<std::uint8_t>(std::lround(255.0 * std::pow(a / 255.0, 0.55)));
        return t;
    }();
    return table[alpha];
}

void premultiply_texels(std::uint8_t* rgba, std::size_t texel_count) {
    for (std::size_t i = 0; i < texel_count; ++i) {
        std::uint8_t* t = rgba + 4 * i;
        const std::uint8_t a = text_coverage(t[3]);
        t[0] = t[1] = t[2] = t[3] = a;
    }
}

void premultiply_font_atlas(ImFontAtlas& atlas) {
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    atlas.GetTexDataAsRGBA32(&pixels, &w, &h);
    if (pixels) premultiply_texels(pixels, static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
}

void clear_transparent_vertices(ImDrawData* data) {
    if (data == nullptr) return;
    for (int l = 0; l < data->CmdListsCount; ++l) {
        ImDrawList* list = data->CmdLists[l];
        for (ImDrawVert& v : list->VtxBuffer)
            if ((v.col & IM_COL32_A_MASK) == 0) v.col = 0;
    }
}

}  // namespace corvane
