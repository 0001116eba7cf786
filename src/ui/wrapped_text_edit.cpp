#include "ui/wrapped_text_edit.h"

#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "ui/animation_frames.h"
#include "ui/color.h"
#include "ui/field_text.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/scroll_area.h"
#include "ui/text_cursor.h"
#include "ui/theme.h"
#include "ui/ui_memory.h"

namespace corvane {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::size_t next_char(std::string_view text, std::size_t at) {
    unsigned int c = 0;
    const int n = ImTextCharFromUtf8(&c, text.data() + at, text.data() + text.size());
    return at + static_cast<std::size_t>(std::max(n, 1));
}

// ImGui's editor counts characters (code points); the text is UTF-8.
int char_index(std::string_view text, std::size_t byte) {
    int n = 0;
    for (std::size_t at = 0; at < byte && at < text.size(); at = next_char(text, at)) ++n;
    return n;
}
std::size_t byte_of(std::string_view text, int index) {
    std::size_t at = 0;
    for (int n = 0; n < index && at < text.size(); ++n) at = next_char(text, at);
    return at;
}

float width_of(ImFont* font, float size, std::string_view text, std::size_t from, std::size_t to) {
    return font->CalcTextSizeA(size, FLT_MAX, 0.0f, text.data() + from, text.data() + to).x;
}

// The row that shows the cursor at `byte`: at a wrap the cursor goes to the
// start of the next row, as after typing up to the edge.
std::size_t row_of(const std::vector<WrappedRow>& rows, std::size_t byte) {
    std::size_t r = 0;
    while (r + 1 < rows.size() && rows[r + 1].begin <= byte) ++r;
    return r;
}

// The place in row `r` nearest to x (from the row's left).
std::size_t byte_at_x(std::string_view text, const WrappedRow& row, ImFont* font, float size, float x) {
    float left = 0.0f;
    for (std::size_t at = row.begin; at < row.end;) {
        const std::size_t after = next_char(text, at);
        const float w = width_of(font, size, text, at, after);
        if (x < left + w / 2) return at;
        left += w;
        at = after;
    }
    return row.end;
}

struct Geometry {
    ImVec2 origin;  // the first row's left-top, scrolled
    float line = 0;
};

std::size_t byte_at_point(std::string_view text, const std::vector<WrappedRow>& rows, const Geometry& g,
                          ImFont* font, float size, ImVec2 p) {
    const float row_f = std::floor((p.y - g.origin.y) / g.line);
    const std::size_t r = static_cast<std::size_t>(std::clamp(row_f, 0.0f, static_cast<float>(rows.size() - 1)));
    return byte_at_x(text, rows[r], font, size, p.x - g.origin.x);
}

// Up, Down, Home or End pressed for the field this frame, taken away from
// ImGui, which would move by whole lines; -1 for none.
int take_row_key() {
    ImGuiIO& io = ImGui::GetIO();
    if (io.KeyCtrl || io.KeyAlt || io.KeySuper) return -1;
    for (ImGuiKey key : {ImGuiKey_UpArrow, ImGuiKey_DownArrow, ImGuiKey_Home, ImGuiKey_End}) {
        const int k = ImGui::GetKeyIndex(key);
        if (k >= 0 && ImGui::IsKeyPressed(k, true)) return key;
    }
    return -1;
}

// Hides a key from ImGui for the field's call.
class KeyHidden {
public:
    explicit KeyHidden(int imgui_key) : index_(imgui_key >= 0 ? ImGui::GetKeyIndex(imgui_key) : -1) {
        if (index_ < 0) return;
        ImGuiIO& io = ImGui::GetIO();
        saved_ = io.KeysDownDuration[index_];
        io.KeysDownDuration[index_] = -1.0f;
    }
    ~KeyHidden() {
        if (index_ >= 0) ImGui::GetIO().KeysDownDuration[index_] = saved_;
    }
    KeyHidden(const KeyHidden&) = delete;
    KeyHidden& operator=(const KeyHidden&) = delete;

private:
    int index_;
    float saved_ = -1.0f;
};

// Where a row key takes the cursor, keeping `preferred_x` across Up and Down.
std::size_t row_key_target(std::string_view text, const std::vector<WrappedRow>& rows, ImFont* font, float size,
                           int key, std::size_t cursor, float preferred_x) {
    const std::size_t r = row_of(rows, cursor);
    switch (key) {
    case ImGuiKey_Home: return rows[r].begin;
    case ImGuiKey_End: return rows[r].end;
    case ImGuiKey_UpArrow:
        return r == 0 ? 0 : byte_at_x(text, rows[r - 1], font, size, preferred_x);
    default:
        return r + 1 >= rows.size() ? text.size() : byte_at_x(text, rows[r + 1], font, size, preferred_x);
    }
}

void paint_rows(ImDrawList* dl, std::string_view text, const std::vector<WrappedRow>& rows, const Geometry& g,
                ImFont* font, float size, Rect clip, std::size_t sel_lo, std::size_t sel_hi) {
    const ImU32 text_colour = ImGui::GetColorU32(ImGuiCol_Text);
    const ImU32 selection = to_imu32(theme::selection_fill);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const float top = g.origin.y + static_cast<float>(r) * g.line;
        if (top + g.line < clip.top || top > clip.bottom) continue;
        const WrappedRow& row = rows[r];
        if (sel_lo < sel_hi && sel_lo <= row.next && sel_hi >= row.begin) {
            const std::size_t a = std::clamp(sel_lo, row.begin, row.end);
            const std::size_t b = std::clamp(sel_hi, row.begin, row.end);
            float x0 = g.origin.x + width_of(font, size, text, row.begin, a);
            float x1 = g.origin.x + width_of(font, size, text, row.begin, b);
            // A selection that runs on past the row shows a little of that.
            if (sel_hi > row.end && r + 1 < rows.size()) x1 += size * 0.25f;
            if (x1 > x0) dl->AddRectFilled(ImVec2(x0, top), ImVec2(x1, top + g.line), selection);
        }
        note_painted_text(text.substr(row.begin, row.end - row.begin), font);
        dl->AddText(font, size, ImVec2(g.origin.x, top), text_colour, text.data() + row.begin, text.data() + row.end);
    }
}

}  // namespace

std::vector<WrappedRow> wrap_rows(std::string_view text, ImFont* font, float size, float width) {
    std::vector<WrappedRow> rows;
    std::size_t begin = 0;
    for (;;) {
        std::size_t line_end = text.find('\n', begin);
        if (line_end == std::string_view::npos) line_end = text.size();
        std::size_t at = begin;
        for (;;) {
            // Blanks may hang past the edge; a row breaks at the last run of
            // them before the first character that does not fit, or, with
            // none, before that character.
            float x = 0.0f;
            std::size_t run = std::string_view::npos;  // start of the blank run being passed
            std::size_t cut = std::string_view::npos, cut_next = std::string_view::npos;
            std::size_t overflow = std::string_view::npos;
            for (std::size_t p = at; p < line_end;) {
                const std::size_t n = next_char(text, p);
                const float w = width_of(font, size, text, p, n);
                if (is_blank(text[p])) {
                    if (run == std::string_view::npos) run = p;
                } else {
                    if (run != std::string_view::npos && run > at) {
                        cut = run;
                        cut_next = p;
                    }
                    run = std::string_view::npos;
                    if (x + w > width && p > at) {
                        overflow = p;
                        break;
                    }
                }
                x += w;
                p = n;
            }
            if (overflow == std::string_view::npos) {
                rows.push_back({at, line_end, line_end + 1});
                break;
            }
            if (cut == std::string_view::npos) cut = cut_next = overflow;
            rows.push_back({at, cut, cut_next});
            at = cut_next;
        }
        if (line_end >= text.size()) break;
        begin = line_end + 1;
    }
    rows.back().next = std::min(rows.back().next, text.size());
    return rows;
}

void wrapped_text_edit(const char* label, std::string& text, Rect box, float padding) {
    const ImGuiID id = ImGui::GetID(label);
    ImFont* font = ImGui::GetFont();
    const float size = ImGui::GetFontSize();
    const float wrap_width = std::max(box.width() - 2 * padding, 1.0f);
    UiMemory& mem = ui_memory();
    const ImGuiID scroll_key = ImHashStr("scroll", 0, id);
    const ImGuiID preferred_key = ImHashStr("preferred_x", 0, id);
    const ImGuiID preferred_at_key = ImHashStr("preferred_at", 0, id);
    float scroll = mem.get<float>(scroll_key, 0.0f);

    // Row keys act on the rows as they were shown.
    const bool active_before = ImGui::GetActiveID() == id && ImGui::GetInputTextState(id) != nullptr;
    const int row_key = active_before ? take_row_key() : -1;
    std::size_t cursor_before = 0;
    std::size_t moved_to = 0;
    bool moved = false;
    if (active_before) {
        const ImGuiInputTextState* s = ImGui::GetInputTextState(id);
        cursor_before = byte_of(text, s->Stb.cursor);
        if (row_key >= 0) {
            const std::vector<WrappedRow> rows = wrap_rows(text, font, size, wrap_width);
            const WrappedRow& row = rows[row_of(rows, cursor_before)];
            float x = width_of(font, size, text, row.begin, cursor_before);
            if (mem.get<std::int64_t>(preferred_at_key, -1) == static_cast<std::int64_t>(cursor_before))
                x = mem.get<float>(preferred_key, x);
            moved_to = row_key_target(text, rows, font, size, row_key, cursor_before, x);
            moved = true;
            const bool vertical = row_key == ImGuiKey_UpArrow || row_key == ImGuiKey_DownArrow;
            mem.set<float>(preferred_key, x);
            mem.set<std::int64_t>(preferred_at_key, vertical ? static_cast<std::int64_t>(moved_to) : -1);
        }
    }

    // ImGui edits and keeps the state; everything it would show is see-through.
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_TextSelectedBg, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_ScrollbarBg, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_ScrollbarGrab, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_ScrollbarGrabHovered, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_ScrollbarGrabActive, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(padding, padding));
    ImGui::SetCursorScreenPos(ImVec2(box.left, box.top));
    {
        const KeyHidden hidden(row_key);
        // Pasted text keeps its TABs (a row copied from a table keeps its columns).
        edit_field_text(text, {.keep_pasted_tabs = true}, [&](const FieldCall& f) {
            ImGui::InputTextMultiline(label, &f.buffer, ImVec2(box.width(), box.height()),
                                      ImGuiInputTextFlags_NoHorizontalScroll | f.flags, f.callback, f.user_data);
        });
    }
    ImGui::PopStyleVar();
    ImGui::PopStyleColor(6);

    const std::vector<WrappedRow> rows = wrap_rows(text, font, size, wrap_width);
    const float content_h = static_cast<float>(rows.size()) * size + 2 * padding;
    const float max_scroll = std::max(content_h - box.height(), 0.0f);
    const ImGuiIO& io = ImGui::GetIO();
    // The field itself is the active item once clicked.
    const bool hovered = ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows |
                                                ImGuiHoveredFlags_AllowWhenBlockedByActiveItem) &&
                         ImGui::IsMouseHoveringRect(ImVec2(box.left, box.top), ImVec2(box.right, box.bottom));
    if (hovered && io.MouseWheel != 0.0f) scroll = scroll_after_wheel(scroll, io.MouseWheel, max_scroll);
    scroll = std::clamp(scroll, 0.0f, max_scroll);

    ImGuiInputTextState* state = ImGui::GetActiveID() == id ? ImGui::GetInputTextState(id) : nullptr;
    Geometry g{ImVec2(box.left + padding, box.top + padding - scroll), size};
    if (state != nullptr) {
        // The pointer places the cursor by the rows shown; ImGui's own
        // placing went by whole lines. A double click keeps ImGui's
        // select-all.
        if (hovered && io.MouseClicked[0] && !io.MouseDoubleClicked[0]) {
            const int at = char_index(text, byte_at_point(text, rows, g, font, size, io.MousePos));
            state->Stb.cursor = state->Stb.select_start = state->Stb.select_end = at;
            state->Stb.has_preferred_x = 0;
        } else if (io.MouseDown[0] && !io.MouseClicked[0] && !state->SelectedAllMouseLock &&
                   (io.MouseDelta.x != 0.0f || io.MouseDelta.y != 0.0f)) {
            const int at = char_index(text, byte_at_point(text, rows, g, font, size, io.MousePos));
            state->Stb.cursor = state->Stb.select_end = at;
        }
        if (moved) {
            const int at = char_index(text, std::min(moved_to, text.size()));
            if (io.KeyShift) {
                if (state->Stb.select_start == state->Stb.select_end) state->Stb.select_start = state->Stb.cursor;
                state->Stb.select_end = at;
            } else {
                state->Stb.select_start = state->Stb.select_end = at;
            }
            state->Stb.cursor = at;
            state->Stb.has_preferred_x = 0;
            state->CursorAnimReset();
        }
        // Whatever moved the cursor, it is brought into view.
        const std::size_t cursor = byte_of(text, state->Stb.cursor);
        if (cursor != cursor_before || moved || !active_before) {
            const float top = static_cast<float>(row_of(rows, cursor)) * size;
            const float inner = box.height() - 2 * padding;
            const float wanted = std::clamp(scroll, top + size - inner, top);
            if (wanted != scroll) {
                scroll = std::clamp(wanted, 0.0f, max_scroll);
                request_animation_frame();
            }
        }
    }
    mem.set<float>(scroll_key, scroll);
    g.origin.y = box.top + padding - scroll;

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(ImVec2(box.left, box.top), ImVec2(box.right, box.bottom), true);
    std::size_t sel_lo = 0, sel_hi = 0;
    if (state != nullptr) {
        sel_lo = byte_of(text, std::min(state->Stb.select_start, state->Stb.select_end));
        sel_hi = byte_of(text, std::max(state->Stb.select_start, state->Stb.select_end));
    }
    paint_rows(dl, text, rows, g, font, size, box, sel_lo, sel_hi);
    if (state != nullptr && text_cursor_visible(id)) {
        const std::size_t cursor = byte_of(text, state->Stb.cursor);
        const std::size_t r = row_of(rows, cursor);
        const float x = std::floor(g.origin.x + width_of(font, size, text, rows[r].begin, cursor));
        const float top = g.origin.y + static_cast<float>(r) * size;
        paint_text_cursor(dl, x, top, top + size);
    }
    if (hovered && max_scroll > 0.0f) {
        const Rect track{box.right - kScrollBarInset - kScrollBarWidth, box.top, box.right - kScrollBarInset,
                         box.bottom};
        const Rect t = scroll_thumb_rect(track, content_h, scroll);
        dl->AddRectFilled(ImVec2(t.left, t.top), ImVec2(t.right, t.bottom), to_imu32(palette::border_hover),
                          kScrollBarWidth / 2);
    }
    dl->PopClipRect();
}

}  // namespace corvane
