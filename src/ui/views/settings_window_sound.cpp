#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "platform/system_dialogs.h"
#include "sound/builtin_sounds.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/theme.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

namespace {

constexpr float kRowSpacing = 8.0f;
constexpr float kComboWidth = 250.0f;
constexpr float kComboHeight = theme::interact_size_y;
constexpr float kPopupMaxHeight = 360.0f;
constexpr FontId kEntryFont{FontFamily::Proportional, 12.5f};
constexpr Color32 kTrack = rgb(44, 44, 44);
constexpr Color32 kInertFill = rgb(70, 70, 70);
constexpr Color32 kInertKnob = rgb(90, 90, 90);

void picker_heading(std::string_view text) { settings_label(text, {FontFamily::Semibold, 10.5f}, palette::text_faint); }

// One entry of the picker, drawn as the theme's selectable label: as wide as
// the popup, at least 32 high, the text 10 in; the selected entry gets the
// selection fill, outline and text colour, a hovered one the hovered look.
// A given colour overrides the text colour. File names are painted as they
// are: ImGui's own labels would cut them at "##". Any click closes the popup.
bool picker_entry(int index, std::string_view text, bool selected, std::optional<Color32> color = std::nullopt) {
    const Galley g = layout_text(text, kEntryFont, palette::text_primary);
    const Vec2 natural{g.size.x + 2.0f * theme::button_padding_x,
                       std::max(theme::interact_size_y, g.size.y + 2.0f * theme::button_padding_y)};
    const ImVec2 p = ImGui::GetCursorScreenPos();
    const float right = std::max(p.x + natural.x, ImGui::GetWindowPos().x + ImGui::GetWindowContentRegionMax().x);
    const Rect r{p.x, p.y, right, p.y + natural.y};
    // Only the natural width counts towards the popup's size, as with
    // ImGui's selectables, so the popup does not grow with its own width.
    ImGui::ItemSize(ImVec2(natural.x, natural.y));
    ImGui::PushID(index);
    const Response resp = interact(r, ImGui::GetID("entry"), Sense::Click);
    ImGui::PopID();

    ImDrawList* dl = ImGui::GetWindowDrawList();
    Color32 text_color = widget_visuals(WidgetState::Inactive).text.color;
    if (selected || resp.hovered) {
        const WidgetVisuals& hovered = widget_visuals(WidgetState::Hovered);
        const Color32 fill = selected ? theme::selection_fill : hovered.fill;
        const Color32 line = selected ? theme::selection_stroke.color : hovered.border.color;
        paint_framed_rect(dl, r, fill, line, 6.0f);
        text_color = selected ? theme::selection_stroke.color : hovered.text.color;
    }
    if (color) text_color = *color;
    const Rect t = anchor_rect({r.left + theme::button_padding_x, r.center().y}, anchor::left_center, g.size);
    paint_galley(dl, {t.left, t.top}, g, text_color);
    if (resp.clicked) ImGui::CloseCurrentPopup();
    return resp.clicked;
}

}  // namespace

void draw_sound_choice_row(App& app, SystemDialogs* dialogs, std::optional<SoundChoice>& picked) {
    SettingsRow row(32.0f, kRowSpacing);
    row.place(30.0f);
    settings_boxed_label("Sound", {FontFamily::Medium, 12}, palette::text_secondary, {56, 30});
    row.advance(row.next_x() + 56.0f);

    row.place(kComboHeight);
    ImFont* entry_font = font(kEntryFont);
    const float font_px = entry_font ? entry_font->FontSize : 16.0f;
    ImGui::PushFont(entry_font);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(10.0f, std::max(0.0f, (kComboHeight - font_px) * 0.5f)));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(6.0f, 6.0f));
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(palette::text_primary));
    ImGui::SetNextItemWidth(kComboWidth);
    ImGui::SetNextWindowSizeConstraints(ImVec2(kComboWidth, 0.0f), ImVec2(FLT_MAX, kPopupMaxHeight));
    // The shown text is painted here rather than by ImGui, which would cut
    // a file name at "##". ImGui's combo keeps one outline in every state;
    // the theme's hovered and open looks are laid over it.
    const ImVec2 at = ImGui::GetCursorScreenPos();
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImGuiID combo_id = ImGui::GetID("##alert_sound");
    const bool was_open = ImGui::IsPopupOpen(ImHashStr("##ComboPopup", 0, combo_id), ImGuiPopupFlags_None);
    const WidgetVisuals& open_look = widget_visuals(WidgetState::Open);
    ImGui::PushStyleColor(ImGuiCol_FrameBg, to_imu32(was_open ? open_look.fill : theme::extreme_bg));
    bool hovered = false;
    const bool open = ImGui::BeginCombo("##alert_sound", nullptr);
    if (!open) {
        log_last_imgui_item();
        log_popup_opener(combo_id);
    }
    if (open) {
        feather_one_pixel();
        draw_sound_picker(app, dialogs, picked);
        ImGui::EndCombo();
    } else {
        hovered = ImGui::IsItemHovered();
    }
    ImGui::PopStyleColor(2);
    ImGui::PopStyleVar(2);
    ImGui::PopFont();
    if (open || was_open || hovered) {
        const Color32 line = open || was_open ? open_look.border.color : widget_visuals(WidgetState::Hovered).border.color;
        dl->AddRect(at, ImVec2(at.x + kComboWidth, at.y + kComboHeight), to_imu32(line), open_look.rounding, 0,
                    open_look.border.width);
    }
    const float text_width = kComboWidth - 10.0f - kComboHeight - 4.0f;  // padding, arrow, gap
    const Galley shown = elide_text_row(sound_choice_label(app.sound_choice), kEntryFont, text_width);
    const Rect text = anchor_rect({at.x + 10.0f, at.y + kComboHeight * 0.5f}, anchor::left_center, shown.size);
    paint_galley(dl, {text.left, text.top}, shown, palette::text_primary);
    row.advance(row.next_x() + kComboWidth);

    row.place(30.0f);
    if (draw_dialog_button("Play").clicked) preview_alert_sound(app);
    row.end();
}

void draw_sound_picker(const App& app, SystemDialogs* dialogs, std::optional<SoundChoice>& picked) {
    const SoundChoice& current = app.sound_choice;
    int index = 0;
    // The popup is a window of its own: it keeps the theme's spacing, not
    // the tighter one of the Settings window's body.
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(theme::item_spacing_x, theme::item_spacing_y));

    picker_heading("BUILT IN");
    const auto& sounds = builtin_sounds();
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const bool selected = current.kind == SoundChoice::Kind::Builtin && current.builtin == i;
        if (picker_entry(index++, sounds[i].label, selected))
            picked = SoundChoice::builtin_sound(static_cast<std::uint8_t>(i));
    }

    if (!app.windows_sounds.empty()) {
        add_vertical_space(6);
        picker_heading("WINDOWS");
        for (const std::filesystem::path& path : app.windows_sounds) {
            const bool selected = current.kind == SoundChoice::Kind::File && same_path_components(current.file, path);
            if (picker_entry(index++, sound_file_label(path), selected)) {
                if (auto choice = file_sound_pick(path)) picked = std::move(choice);
            }
        }
    }

    if (is_custom_sound(current, app.windows_sounds)) {
        add_vertical_space(6);
        picker_heading("CUSTOM");
        picker_entry(index++, sound_file_label(current.file), true);
    }

    add_vertical_space(6);
    if (picker_entry(index++, "Choose a WAV file\u2026", false, palette::accent_bright) && dialogs) {
        if (const auto file = dialogs->pick_wav_file()) {
            if (auto choice = file_sound_pick(*file)) picked = std::move(choice);
        }
    }
    ImGui::PopStyleVar();
}

void draw_volume_row(App& app) {
    const bool builtin = app.sound_choice.kind == SoundChoice::Kind::Builtin;
    constexpr std::string_view kInertNote = "Windows and custom sounds play at system volume";
    constexpr FontId kNoteFont{FontFamily::Proportional, 11};

    // The note wraps in what the row leaves after the slider.
    const float avail = ImGui::GetContentRegionAvail().x;
    const float note_width = std::max(40.0f, avail - (56.0f + kRowSpacing + 240.0f + kRowSpacing));
    float note_height = 0.0f;
    if (!builtin) {
        ImGui::PushFont(font(kNoteFont));
        note_height = ImGui::CalcTextSize(kInertNote.data(), kInertNote.data() + kInertNote.size(), false, note_width).y;
        ImGui::PopFont();
    }

    SettingsRow row(std::max(32.0f, note_height), kRowSpacing);
    row.place(24.0f);
    settings_boxed_label("Volume", {FontFamily::Medium, 12}, palette::text_secondary, {56, 24});
    row.advance(row.next_x() + 56.0f);

    row.place(28.0f);
    const Rect slider = allocate_item({240.0f, 28.0f});
    const Response resp = interact(slider, ImGui::GetID("volume"), builtin ? Sense::Click : Sense::Hover);
    const bool drag_ended = builtin && ImGui::IsItemDeactivated();

    const float x0 = slider.left + 11.5f, x1 = slider.right - 11.5f, cy = slider.center().y;
    if (builtin && (resp.held || resp.clicked) && ImGui::IsMousePosValid())
        app.sound_volume = volume_at(ImGui::GetIO().MousePos.x, x0, x1);

    ImDrawList* dl = ImGui::GetWindowDrawList();
    const Rect clip = slider.expand(2.0f);
    dl->PushClipRect(to_im({clip.left, clip.top}), to_im({clip.right, clip.bottom}), true);
    dl->AddRectFilled(ImVec2(x0, cy - 2), ImVec2(x1, cy + 2), to_imu32(kTrack), 2.0f);
    const float q = volume_knob_x(x0, x1, app.sound_volume);
    dl->AddRectFilled(ImVec2(x0, cy - 2), ImVec2(q, cy + 2), to_imu32(builtin ? palette::accent : kInertFill), 2.0f);
    if (builtin) {
        const Color32 knob = resp.hovered || resp.held ? palette::text_white : palette::value_text;
        dl->AddCircleFilled(ImVec2(q, cy), 11.5f, to_imu32(knob));
        dl->AddCircle(ImVec2(q, cy), 11.5f, to_imu32(palette::accent), 0, 1.5f);
    } else {
        dl->AddCircleFilled(ImVec2(q, cy), 11.5f, to_imu32(kInertKnob));
    }
    paint_text(dl, {q, cy}, anchor::center_center, std::to_string(app.sound_volume) + "%",
               {FontFamily::MonoMedium, 8}, palette::widget_bg);
    dl->PopClipRect();
    if (builtin) pointing_hand_if_hovered(resp);
    row.advance(slider.right);

    if (builtin && (drag_ended || resp.clicked)) preview_alert_sound(app);

    if (!builtin) {
        row.place(note_height);
        settings_note(kInertNote, kNoteFont.size, palette::text_faint, row.next_x() + note_width);
    }
    row.end();
}

}  // namespace corvane
