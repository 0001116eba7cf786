#include "ui/text_cursor.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "ui/animation_frames.h"

namespace corvane {

namespace {

constexpr double kBlinkOn = 0.5;
constexpr double kBlinkOff = 0.5;
constexpr float kCursorWidth = 2.0f;
constexpr ImU32 kCursorColour = IM_COL32(192, 222, 255, 255);

// ImGui's cursor clock, reset to this after each edit or move.
constexpr double kImGuiResetValue = -0.30;

}  // namespace

TextFieldMark mark_text_field() {
    ImDrawList* list = ImGui::GetWindowDrawList();
    return {list, list->VtxBuffer.Size};
}

void hide_imgui_cursor(const TextFieldMark& mark, ImU32 text_colour) {
    // The cursor is a line in the text colour (its anti-aliased edges the
    // same colour with no alpha) drawn with the atlas's white pixel, last;
    // the text before it uses glyph pixels, the frame other colours.
    const ImVec2 white = ImGui::GetIO().Fonts->TexUvWhitePixel;
    ImVector<ImDrawVert>& v = mark.list->VtxBuffer;
    for (int i = v.Size - 1; i >= mark.first_vertex; --i) {
        const bool line_pixel = v[i].uv.x == white.x && v[i].uv.y == white.y;
        const bool line_colour = (v[i].col | IM_COL32_A_MASK) == (text_colour | IM_COL32_A_MASK);
        if (!line_pixel || !line_colour) break;
        v[i].col = 0;
    }
}

bool text_cursor_visible(ImGuiID id) {
    const ImGuiInputTextState* state = ImGui::GetInputTextState(id);
    if (state == nullptr || ImGui::GetActiveID() != id) return false;
    // ImGui's clock counts the frames' time since the last edit or move. It
    // is a float: a microsecond's slack keeps a frame that lands on an edge
    // from reading as just before it and asking for another at once.
    const double since = std::max(0.0, static_cast<double>(state->CursorAnim) - kImGuiResetValue + 1e-6);
    const double phase = std::fmod(since, kBlinkOn + kBlinkOff);
    const bool on = phase < kBlinkOn;
    request_frame_after(on ? kBlinkOn - phase : kBlinkOn + kBlinkOff - phase);
    return on;
}

void paint_text_cursor(ImDrawList* list, float x, float top, float bottom) {
    list->AddRectFilled(ImVec2(x - kCursorWidth / 2, top), ImVec2(x + kCursorWidth / 2, bottom), kCursorColour);
}

void draw_single_line_cursor(const TextFieldMark& mark) {
    const ImGuiID id = ImGui::GetItemID();
    if (ImGui::GetActiveID() != id) return;
    hide_imgui_cursor(mark, ImGui::GetColorU32(ImGuiCol_Text));
    if (!text_cursor_visible(id)) return;
    const ImGuiInputTextState* state = ImGui::GetInputTextState(id);
    // The cursor counts characters; the buffer is UTF-8.
    const char* text = state->TextA.Data;
    const char* end = text + state->CurLenA;
    const char* at = text;
    for (int n = 0; n < state->Stb.cursor && at < end; ++n) {
        unsigned int c = 0;
        at += ImTextCharFromUtf8(&c, at, end);
    }
    ImFont* font = ImGui::GetFont();
    const float prefix = font->CalcTextSizeA(ImGui::GetFontSize(), FLT_MAX, 0.0f, text, at).x;
    const ImVec2 min = ImGui::GetItemRectMin();
    const ImVec2 max = ImGui::GetItemRectMax();
    const ImVec2 pad = ImGui::GetStyle().FramePadding;
    // Where ImGui puts its own cursor, whole pixels.
    const float x = std::floor(min.x + pad.x + prefix - state->ScrollX);
    const float top = min.y + pad.y;
    mark.list->PushClipRect(min, max, true);
    paint_text_cursor(mark.list, x, top, top + ImGui::GetFontSize());
    mark.list->PopClipRect();
}

}  // namespace corvane
