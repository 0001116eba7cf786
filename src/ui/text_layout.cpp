#include "ui/text_layout.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <cmath>

#include "ui/item_log.h"

namespace corvane {

namespace {
constexpr std::string_view kEllipsis = "\u2026";

float font_height(ImFont* f) { return f ? f->FontSize : 0.0f; }
}  // namespace

float text_width(std::string_view text, ImFont* f) {
    if (f == nullptr || text.empty()) return 0.0f;
    note_text(text, f);
    return f->CalcTextSizeA(f->FontSize, FLT_MAX, 0.0f, text.data(), text.data() + text.size()).x;
}

Galley layout_text(std::string_view text, FontId id, Color32 color) {
    ImFont* f = font(id);
    return {std::string(text), id, color, {std::round(text_width(text, f)), std::round(font_height(f))}};
}

Galley elide_text_row(std::string_view text, FontId id, float max_width) {
    const Color32 colour = rgb(110, 110, 110);
    ImFont* f = font(id);
    const float limit = std::max(max_width, 10.0f);
    if (text_width(text, f) <= limit) return layout_text(text, id, colour);

    // Longest prefix, cut between code points so the result stays valid UTF-8.
    std::string best(kEllipsis);
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        unsigned int cp = 0;
        const int len = ImTextCharFromUtf8(&cp, p, end);
        const char* next = p + (len > 0 ? len : 1);
        std::string candidate(begin, next);
        candidate += kEllipsis;
        if (text_width(candidate, f) > limit) break;
        best = std::move(candidate);
        p = next;
    }
    return layout_text(best, id, colour);
}

std::optional<Galley> fit_text_row(std::string_view text, FontId font, Color32 color, float max_width) {
    Galley g = layout_text(text, font, color);
    if (g.size.x <= max_width) return g;
    g = elide_text_row(text, font, max_width);
    if (g.size.x > max_width || g.text == kEllipsis) return std::nullopt;
    g.color = color;
    return g;
}

Rect anchor_rect(Vec2 pos, Anchor a, Vec2 size) {
    auto start = [](float at, Align al, float extent) {
        switch (al) {
        case Align::Min: return at;
        case Align::Center: return at - extent / 2.0f;
        case Align::Max: return at - extent;
        }
        return at;
    };
    const float x = start(pos.x, a.x, size.x);
    const float y = start(pos.y, a.y, size.y);
    return {x, y, x + size.x, y + size.y};
}

void paint_galley(ImDrawList* dl, Vec2 left_top, const Galley& g, Color32 color) {
    ImFont* f = font(g.font);
    if (f == nullptr || g.text.empty()) return;
    note_painted_text(g.text, f);
    dl->AddText(f, f->FontSize, ImVec2(left_top.x, left_top.y), to_imu32(color), g.text.data(),
                g.text.data() + g.text.size());
    log_text(dl, g.text, {left_top.x, left_top.y, left_top.x + g.size.x, left_top.y + g.size.y});
}

void paint_galley(ImDrawList* dl, Vec2 left_top, const Galley& g) { paint_galley(dl, left_top, g, g.color); }

TextCuttingBox::TextCuttingBox(ImDrawList* dl, Rect box) : dl_(dl) {
    dl_->PushClipRect(ImVec2(box.left, box.top), ImVec2(box.right, box.bottom), true);
    begin_texts_cut_by_design();
}

TextCuttingBox::~TextCuttingBox() {
    end_texts_cut_by_design();
    dl_->PopClipRect();
}

Rect paint_text(ImDrawList* dl, Vec2 pos, Anchor a, std::string_view text, FontId id, Color32 color) {
    const Galley g = layout_text(text, id, color);
    const Rect r = anchor_rect(pos, a, g.size);
    paint_galley(dl, {r.left, r.top}, g);
    return r;
}

}  // namespace corvane
