#include "ui/text_layout.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>

#include "ui/item_log.h"

namespace corvane {

namespace {
constexpr std::string_view kEllipsis = "\u2026";
// No script stacks more marks on one character than this (it is Unicode's
// limit for stream-safe text); a longer run of characters that take no width
// is a heap that would never reach the row's end.
constexpr std::size_t kMaxWidthlessRun = 30;

thread_local std::size_t t_measured_bytes = 0;

float font_height(ImFont* f) { return f ? f->FontSize : 0.0f; }

// What Dear ImGui adds to a line for the character c.
float advance(const ImFont* f, unsigned int c) {
    return static_cast<int>(c) < f->IndexAdvanceX.Size ? f->IndexAdvanceX.Data[c] : f->FallbackAdvanceX;
}
}  // namespace

std::size_t measured_text_bytes() { return t_measured_bytes; }

float text_width(std::string_view text, ImFont* f) {
    if (f == nullptr || text.empty()) return 0.0f;
    note_text(text, f);
    t_measured_bytes += text.size();
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
    if (f == nullptr) return layout_text(text, id, colour);

    // One pass, adding each character's advance as Dear ImGui measures a
    // text (a line feed starts a new line, a carriage return takes no room),
    // so every prefix's width, and its width with the ellipsis, comes out as
    // measuring it alone would. It stops at the first character that no
    // longer fits: no more is measured than can be drawn.
    const float ellipsis = advance(f, 0x2026);
    float widest = 0.0f, line = 0.0f;
    std::size_t cut = 0;  // the longest prefix that fits with the ellipsis
    bool cutting = true;
    std::size_t widthless = 0;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    bool whole = true;
    while (p < end) {
        unsigned int c = static_cast<unsigned char>(*p);
        const int len = c < 0x80 ? 1 : ImTextCharFromUtf8(&c, p, end);
        float next_widest = widest, next_line = line;
        if (c == '\n') {
            next_widest = std::max(widest, line);
            next_line = 0.0f;
        } else if (c != '\r') {
            next_line = line + advance(f, c);
        }
        widthless = c != '\n' && next_line == line ? widthless + 1 : 0;
        if (std::max(next_widest, next_line) > limit || widthless > kMaxWidthlessRun) {
            p += len;  // measured, so its glyph is baked for the next frame
            whole = false;
            break;
        }
        widest = next_widest;
        line = next_line;
        p += len;
        // After a line feed the ellipsis starts a new line and may fit again;
        // the cut stays at the first prefix it did not fit behind.
        if (cutting && std::max(widest, line + ellipsis) <= limit)
            cut = static_cast<std::size_t>(p - begin);
        else
            cutting = false;
    }
    note_text(std::string_view(begin, static_cast<std::size_t>(p - begin)), f);
    t_measured_bytes += static_cast<std::size_t>(p - begin);
    if (whole) return layout_text(text, id, colour);
    std::string shown(text.substr(0, cut));
    shown += kEllipsis;
    return layout_text(shown, id, colour);
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
