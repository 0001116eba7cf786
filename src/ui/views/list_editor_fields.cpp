#include "ui/views/list_editor_fields.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>

#include "ui/field_text.h"
#include "ui/field_glyphs.h"
#include "ui/fonts.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/text_cursor.h"
#include "ui/text_layout.h"
#include "ui/wrapped_text_edit.h"
#include "ui/views/list_editor_text.h"
#include "ui/views/list_library_text.h"

namespace corvane {

namespace {

constexpr Color32 kHintText = rgb(133, 133, 133);
constexpr Color32 kHoveredBorder = rgb(64, 64, 64);
constexpr FontId kNameFont{FontFamily::Proportional, 13.5f};
constexpr FontId kHostsFont{FontFamily::Monospace, 12.5f};
constexpr float kNameHeight = 34.0f;
constexpr float kTextBoxHeight = 300.0f;

// Escape in an active field would put back the text it had when it was
// entered; here Escape closes the editor and what was typed stays typed.
void keep_text_on_escape(ImGuiID id) {
    if (ImGui::GetActiveID() == id && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false))
        ImGui::ClearActiveID();
}

// The text edit's own frame, painted under the field: fill 20, 1-point
// border in accent while editing, 64 while hovered, else 42.
void paint_text_edit_frame(Rect r, ImGuiID id) {
    const bool focused = ImGui::GetActiveID() == id;
    const bool hovered = ImGui::IsMouseHoveringRect(to_im({r.left, r.top}), to_im({r.right, r.bottom})) &&
                         ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows);
    const Color32 border = focused ? palette::accent : (hovered ? kHoveredBorder : palette::border);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(palette::widget_bg), 6.0f);
    dl->AddRect(to_im({r.left, r.top}), to_im({r.right, r.bottom}), to_imu32(border), 6.0f, 0, 1.0f);
}

// ImGui's own frame is made invisible: the painted one above stands in.
void push_field_style(ImFont* f, ImVec2 padding) {
    ImGui::PushFont(f);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, padding);
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_ScrollbarSize, 8.0f);
    ImGui::PushStyleColor(ImGuiCol_FrameBg, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_FrameBgHovered, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_FrameBgActive, IM_COL32(0, 0, 0, 0));
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(palette::text_primary));
    ImGui::PushStyleColor(ImGuiCol_TextDisabled, to_imu32(kHintText));
}

void pop_field_style() {
    ImGui::PopStyleColor(5);
    ImGui::PopStyleVar(3);
    ImGui::PopFont();
}

Rect field_rect(float height) {
    const ImVec2 pos = ImGui::GetCursorScreenPos();
    const float w = std::max(ImGui::GetContentRegionAvail().x, 1.0f);
    return {pos.x, pos.y, pos.x + w, pos.y + height};
}

}  // namespace

void draw_list_editor_name_field(std::string& name) {
    const Rect r = field_rect(kNameHeight);
    const ImGuiID id = ImGui::GetID("##list_name");
    keep_text_on_escape(id);
    paint_text_edit_frame(r, id);
    ImFont* f = font(kNameFont);
    const float px = f != nullptr ? f->FontSize : ImGui::GetFontSize();
    push_field_style(f, ImVec2(10.0f, std::max(0.0f, (kNameHeight - px) / 2.0f)));
    ImGui::SetNextItemWidth(r.width());
    const std::string hint(kListNameHint);
    const TextFieldMark mark = mark_text_field();
    edit_field_text(name, {}, [&](const FieldCall& f) {
        ImGui::InputTextWithHint("##list_name", hint.c_str(), &f.buffer, f.flags, f.callback, f.user_data);
    });
    log_last_imgui_item();
    draw_single_line_cursor(mark);
    note_single_line_field(name);
    pop_field_style();
}

void draw_host_count_label(std::size_t host_count, Rect row) {
    paint_text(ImGui::GetWindowDrawList(), {row.right, row.center().y}, anchor::right_center,
               host_count_text(host_count), {FontFamily::Proportional, 11.5f}, palette::text_faint);
}

void draw_hosts_label_row(std::size_t host_count) {
    const Rect row = field_rect(32.0f);
    paint_text(ImGui::GetWindowDrawList(), {row.left, row.center().y}, anchor::left_center, "Hosts",
               {FontFamily::Medium, 12.0f}, palette::text_secondary);
    draw_host_count_label(host_count, row);
    ImGui::ItemSize(ImVec2(row.width(), row.height()));
}

void draw_list_text_box(std::string& text) {
    const Rect r = field_rect(kTextBoxHeight);
    const ImGuiID id = ImGui::GetID("##list_hosts");
    keep_text_on_escape(id);
    paint_text_edit_frame(r, id);
    ImFont* f = font(kHostsFont);
    if (text.empty()) {
        // The multi-line field has no hint of its own.
        const float line = f != nullptr ? f->FontSize : ImGui::GetFontSize();
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->PushClipRect(to_im({r.left, r.top}), to_im({r.right, r.bottom}), true);
        float y = r.top + 10.0f;
        for (std::string_view hint_line : kListHostsHint) {
            if (!hint_line.empty()) paint_text(dl, {r.left + 10.0f, y}, anchor::left_top, hint_line, kHostsFont, kHintText);
            y += line;
        }
        dl->PopClipRect();
    }
    push_field_style(f, ImVec2(10.0f, 10.0f));
    // Long lines wrap at the box's width rather than scroll sideways.
    wrapped_text_edit("##list_hosts", text, r, 10.0f);
    log_item(r, ImGui::GetID("##list_hosts"), ItemRole::Control);
    note_text(text);
    pop_field_style();
}

}  // namespace corvane
