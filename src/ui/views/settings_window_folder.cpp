#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <system_error>

#include "engine/history_writer.h"
#include "main/unicode_text.h"
#include "platform/system_dialogs.h"
#include "ui/field_text.h"
#include "ui/field_glyphs.h"
#include "ui/palette.h"
#include "ui/text_cursor.h"
#include "ui/theme.h"
#include "ui/widgets.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {

constexpr float kFieldHeight = 32.0f;
constexpr float kSpacing = 8.0f;
constexpr const char* kButtons[] = {"Browse\u2026", "Open", "Default"};

// Room the three buttons take after the field: 190, or more when their
// texts need it, so "Default" is never cut off at the window's edge.
float buttons_room() {
    float room = 0.0f;
    for (const char* text : kButtons)
        room += kSpacing + layout_text(text, {FontFamily::Medium, 12.5f}, palette::text_primary).size.x +
                2.0f * theme::button_padding_x;
    return std::max(190.0f, room);
}

// The folder in use, made to exist so the picker and the file manager can
// open it; a failure shows up there, not here.
fs::path existing_history_dir(const SharedSettings& shared) {
    fs::path dir = shared.history_dir();
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

void draw_folder_field(std::string& text, float width, std::optional<fs::path>& picked) {
    constexpr const char* kLabel = "##history_dir";
    ImFont* mono = font({FontFamily::Monospace, 12});
    const float font_px = mono ? mono->FontSize : 16.0f;
    ImGui::PushFont(mono);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(10.0f, std::max(0.0f, (kFieldHeight - font_px) * 0.5f)));
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(palette::text_primary));
    // Escape closes the window, which applies the typed folder; ImGui would
    // first revert the field, so it lets go of the field before that. Tab
    // lets go of it too, which applies the folder.
    const auto pressed = [](ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false); };
    if (ImGui::GetActiveID() == ImGui::GetID(kLabel) && (pressed(ImGuiKey_Escape) || pressed(ImGuiKey_Tab)))
        ImGui::ClearActiveID();
    ImGui::SetNextItemWidth(width);
    const TextFieldMark mark = mark_text_field();
    edit_field_text(text, {}, [&](const FieldCall& f) {
        ImGui::InputText(kLabel, &f.buffer, f.flags, f.callback, f.user_data);
    });
    log_last_imgui_item();
    draw_single_line_cursor(mark);
    note_single_line_field(text);
    // The field reads Tab itself: it is the window's only tab stop, and
    // ImGui's tabbing would hand the focus straight back to it.
    if (ImGui::IsItemActive()) GImGui->ActiveIdUsingKeyInputMask |= ImU64{1} << ImGuiKey_Tab;
    if (ImGui::IsItemDeactivated()) {
        if (auto folder = folder_from_text(text)) picked = std::move(folder);
    }
    // ImGui keeps one outline in every state; the theme's focused (accent)
    // and hovered looks are laid over it.
    const bool active = ImGui::IsItemActive();
    if (active || ImGui::IsItemHovered()) {
        const Color32 line =
            active ? theme::selection_stroke.color : widget_visuals(WidgetState::Hovered).border.color;
        ImGui::GetWindowDrawList()->AddRect(ImGui::GetItemRectMin(), ImGui::GetItemRectMax(), to_imu32(line),
                                            ImGui::GetStyle().FrameRounding, 0, 1.0f);
    }
    ImGui::PopStyleColor();
    ImGui::PopStyleVar();
    ImGui::PopFont();
}

}  // namespace

void draw_history_folder_row(const SharedSettings& shared, std::string& history_dir_text, SystemDialogs* dialogs,
                             std::optional<fs::path>& picked) {
    SettingsRow row(kFieldHeight, kSpacing);
    const float field_width = std::max(0.0f, ImGui::GetContentRegionAvail().x - buttons_room());
    row.place(kFieldHeight);
    draw_folder_field(history_dir_text, field_width, picked);
    row.advance(row.next_x() + field_width);

    row.place(30.0f);
    const Response browse = draw_dialog_button(kButtons[0]);
    row.advance(browse.rect.right);
    if (browse.clicked) {
        const fs::path start = existing_history_dir(shared);
        if (dialogs) {
            if (auto folder = dialogs->pick_folder(start)) picked = std::move(folder);
        }
    }

    row.place(30.0f);
    const Response open = draw_dialog_button(kButtons[1]);
    row.advance(open.rect.right);
    if (open.clicked) {
        const fs::path dir = existing_history_dir(shared);
        if (dialogs) dialogs->open_folder(dir);
    }

    row.place(30.0f);
    const Response reset = draw_dialog_button(kButtons[2]);
    const fs::path default_dir = default_history_dir();
    hover_tooltip_text(reset, lossy_utf8(default_dir.native()));
    if (reset.clicked) picked = default_dir;
    row.end();
}

}  // namespace corvane
