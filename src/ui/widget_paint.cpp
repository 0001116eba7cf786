#include <imgui_internal.h>

#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/rounded_rect_mesh.h"
#include "ui/widget_layout.h"
#include "ui/widgets.h"

namespace corvane {

void fill_rounded_rect(ImDrawList* dl, Rect rect, float radius, Color32 a, Color32 b) {
    const Mesh mesh = rounded_rect_mesh(rect, radius, a, b);
    if (mesh.vertices.empty()) return;
    const ImVec2 uv = dl->_Data->TexUvWhitePixel;
    dl->PrimReserve(static_cast<int>(mesh.indices.size()), static_cast<int>(mesh.vertices.size()));
    // Read after PrimReserve: it may open a new vertex block past 64k vertices.
    const auto base = static_cast<ImDrawIdx>(dl->_VtxCurrentIdx);
    for (const MeshVertex& v : mesh.vertices) dl->PrimWriteVtx(to_im(v.pos), uv, to_imu32(v.color));
    for (std::uint16_t i : mesh.indices) dl->PrimWriteIdx(static_cast<ImDrawIdx>(base + i));
}

void paint_primary_fill(ImDrawList* dl, Rect rect, float radius, bool hovered) {
    if (hovered)
        fill_rounded_rect(dl, rect, radius, palette::accent_bright, palette::accent_deep);
    else
        fill_rounded_rect(dl, rect, radius, palette::accent, palette::accent_dark);
}

void paint_framed_rect(ImDrawList* dl, Rect rect, Color32 fill, Color32 line, float radius, float line_width) {
    dl->AddRectFilled(ImVec2(rect.left, rect.top), ImVec2(rect.right, rect.bottom), to_imu32(fill), radius);
    dl->AddRect(ImVec2(rect.left, rect.top), ImVec2(rect.right, rect.bottom), to_imu32(line), radius, 0, line_width);
}

void paint_row_background(ImDrawList* dl, Rect row, bool selected, bool hovered) {
    if (selected) {
        dl->AddRectFilled(to_im({row.left, row.top}), to_im({row.right, row.bottom}),
                          to_imu32(color_with_alpha(255, 77, 0, 18)));
        dl->AddRectFilled(ImVec2(row.left, row.top + 6), ImVec2(row.left + 2, row.bottom - 6),
                          to_imu32(palette::accent), 1.0f);
    } else if (hovered) {
        dl->AddRectFilled(to_im({row.left, row.top}), to_im({row.right, row.bottom}),
                          to_imu32(color_with_alpha(255, 255, 255, 6)));
    }
    dl->AddLine(ImVec2(row.left, row.bottom), ImVec2(row.right, row.bottom), to_imu32(palette::row_line), 1.0f);
}

void draw_toolbar_divider() {
    const ImVec2 p = ImGui::GetCursorScreenPos();
    const ImRect bb(p, ImVec2(p.x + 1, p.y + 28));
    ImGui::ItemSize(bb);
    if (!ImGui::ItemAdd(bb, 0)) return;
    ImGui::GetWindowDrawList()->AddRectFilled(bb.Min, bb.Max, to_imu32(palette::divider));
}

void draw_tooltip_box(ImDrawList* dl, float anchor_x, float top_y, float right_limit, std::string_view label,
                      std::string_view value, Color32 value_color) {
    const Galley l = layout_text(label, {FontFamily::Monospace, 11.5f}, palette::text_primary);
    const Galley v = layout_text(value, {FontFamily::MonoMedium, 11.5f}, value_color);
    const Vec2 text{l.size.x + 12.0f + v.size.x, std::max(l.size.y, v.size.y)};
    // At a bar's or probe's x, which is seldom a whole pixel: the outline is.
    const Rect box = on_whole_pixels(tooltip_box_rect(anchor_x, top_y, right_limit, text));
    log_hover_box(box);
    dl->AddRectFilled(to_im({box.left, box.top}), to_im({box.right, box.bottom}), to_imu32(palette::tooltip_bg), 6.0f);
    dl->AddRect(to_im({box.left, box.top}), to_im({box.right, box.bottom}), to_imu32(palette::tooltip_border), 6.0f,
                0, 1.0f);
    // Two runs on one row, bottom-aligned.
    const float x = box.left + 10.0f, y = box.top + 6.0f;
    paint_galley(dl, {x, y + text.y - l.size.y}, l);
    paint_galley(dl, {x + l.size.x + 12.0f, y + text.y - v.size.y}, v);
}

}  // namespace corvane
