#include "ui/views/toolbar.h"

#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include "main/app_update_replay.h"
#include "replay/history_loader.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/text_cursor.h"
#include "ui/theme.h"
#include "ui/widgets.h"
#include "ui/views/toolbar_actions.h"
#include "ui/views/toolbar_menus.h"
#include "ui/views/toolbar_popup.h"
#include "ui/views/toolbar_row.h"
#include "ui/views/toolbar_widgets.h"

namespace corvane {

using namespace toolbar_kit;

namespace {

constexpr float kTargetWidth = 200.0f, kTargetHeight = 34.0f;

void divider_with_space(ItemRow& row) {
    row.space(4.0f);
    place_cursor(row.take({1.0f, 28.0f}));
    draw_toolbar_divider();
    row.space(4.0f);
}

template <class T>
void segmented(ItemRow& row, bool from_right, T& value, const SegmentOption<T>& a, const SegmentOption<T>& b) {
    const int current = value == a.value ? 0 : value == b.value ? 1 : -1;
    const Vec2 size = switch_size(a.label, b.label, current);
    place_cursor(from_right ? row.take_right(size) : row.take(size));
    draw_segmented_switch(value, a, b);
}

// The target field: the active tab's target, edited in place. True when
// Enter ended the edit this frame.
bool target_field(TraceTab& tab, Rect r, std::size_t tab_index) {
    ImGui::PushID(static_cast<int>(tab_index));
    const ImGuiID field_id = ImGui::GetID("##target");
    // ImGui would revert the text on Escape; the field keeps it and only
    // lets go of the focus.
    if (ImGui::GetActiveID() == field_id && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false))
        ImGui::ClearActiveID();

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(ImVec2(r.left, r.top), ImVec2(r.right, r.bottom), to_imu32(theme::extreme_bg), 6.0f);

    ImGui::PushFont(font({FontFamily::Monospace, 14.0f}));
    const float pad_y = std::max(0.0f, (kTargetHeight - ImGui::GetFontSize()) * 0.5f);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(theme::button_padding_x, pad_y));
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 0.0f);
    ImGui::PushStyleColor(ImGuiCol_FrameBg, 0u);
    ImGui::PushStyleColor(ImGuiCol_FrameBgHovered, 0u);
    ImGui::PushStyleColor(ImGuiCol_FrameBgActive, 0u);
    ImGui::PushStyleColor(ImGuiCol_Text, to_imu32(palette::text_primary));
    ImGui::PushStyleColor(ImGuiCol_TextDisabled, to_imu32(rgb(133, 133, 133)));
    place_cursor(r);
    ImGui::SetNextItemWidth(r.width());
    const TextFieldMark mark = mark_text_field();
    ImGui::InputTextWithHint("##target", "Target: host or IPv4", &tab.target);
    log_last_imgui_item();
    draw_single_line_cursor(mark);
    const bool hovered = ImGui::IsItemHovered();
    const bool active = ImGui::IsItemActive();
    const bool enter = ImGui::IsItemDeactivated() &&
                       (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false) ||
                        ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter), false));
    ImGui::PopStyleColor(5);
    ImGui::PopStyleVar(2);
    ImGui::PopFont();

    const Color32 border = active ? theme::selection_stroke.color
                           : hovered ? widget_visuals(WidgetState::Hovered).border.color
                                     : widget_visuals(WidgetState::Inactive).border.color;
    dl->AddRect(ImVec2(r.left + 0.5f, r.top + 0.5f), ImVec2(r.right - 0.5f, r.bottom - 0.5f), to_imu32(border), 6.0f, 0,
                1.0f);
    ImGui::PopID();
    return enter;
}

void trace_controls(App& app, ItemRow& row) {
    if (app.active_trace >= app.trace_tabs.size()) return;
    const std::size_t index = app.active_trace;
    const bool enter = target_field(app.trace_tabs[index], row.take({kTargetWidth, kTargetHeight}), index);

    const Rect recent_rect = row.take(kRecentButtonSize);
    const ImGuiID popup_id = ImGui::GetID("recent_targets_popup");
    const Response recent = draw_recent_button(recent_rect);
    if (recent.clicked) toggle_popup(popup_id);
    log_popup_opener(recent.id);
    std::optional<std::string> chosen;
    bool clear = false;
    recent_targets_popup(popup_id, recent_rect, app.recent, chosen, clear);
    // Applied before the Start/Stop button, so it already shows Stop.
    apply_recent_targets_menu(app, chosen, clear);

    const bool running = active_trace_running(app);
    if (draw_start_stop_button(row.take(kStartStopSize), running).clicked)
        toggle_active_trace(app);
    else if (enter)
        start_active_trace(app);

    divider_with_space(row);
    const std::string probe = interval_label(probe_interval_choices, app.shared->probe_ms.load());
    show_interval_combo(row.take(interval_combo_size("Ping", probe)), "probe_iv", "Ping",
                        "How often each hop is probed. Applies immediately.", *app.shared, IntervalKind::Probe,
                        probe_interval_choices);
    const std::string route = interval_label(route_interval_choices, app.shared->route_secs.load());
    show_interval_combo(row.take(interval_combo_size("Route", route)), "route_iv", "Route",
                        "How often the full path is traced again to catch route changes. Applies immediately.",
                        *app.shared, IntervalKind::Route, route_interval_choices);
}

void watch_controls(App& app, ItemRow& row) {
    if (const std::optional<bool> running = active_watch_running(app)) {
        const Response r = draw_start_stop_button(row.take(kStartStopSize), *running);
        hover_tooltip_text(r, "Start or stop the list in this tab");
        if (r.clicked) toggle_active_watch(app);
    }
    if (draw_new_list_button(row.take(new_list_button_size())).clicked) open_new_list_editor(app);
    divider_with_space(row);
    const std::string probe = interval_label(probe_interval_choices, app.shared->probe_ms.load());
    show_interval_combo(row.take(interval_combo_size("Ping", probe)), "probe_iv_w", "Ping",
                        "How often each host is pinged. Applies immediately.", *app.shared, IntervalKind::Probe,
                        probe_interval_choices);
}

// The right-end group, right to left: settings, sound, playback, then the
// layout (trace view) and clock switches.
void top_bar_and_open_replay(App& app, ItemRow& row, HistoryFilePicker* picker) {
    if (draw_icon_button(row.take_right(kIconButtonSize), "settings", ToolbarIcon::Settings, "Settings").clicked)
        app.settings_open = !app.settings_open;
    if (draw_icon_button(row.take_right(kIconButtonSize), "sound",
                         app.sound_on ? ToolbarIcon::SoundOn : ToolbarIcon::SoundMuted,
                         sound_button_tooltip(app.sound_on))
            .clicked)
        app.sound_on = !app.sound_on;
    if (draw_icon_button(row.take_right(kIconButtonSize), "playback", ToolbarIcon::Playback,
                         "Play back a history file")
            .clicked &&
        picker != nullptr) {
        AppReplayHost host(app);
        load_history_file(host, *picker, *app.shared);
    }
    row.space_right(6.0f);
    if (app.view_mode == ViewMode::Trace)
        segmented(row, true, app.layout_mode, {LayoutMode::Instrument, "Instrument"}, {LayoutMode::Signal, "Signal"});
    bool utc = app.utc;
    segmented(row, true, utc, {false, "Local"}, {true, "UTC"});
    if (utc != app.utc) choose_clock_utc(app, utc);
}

// The rest of the row, filled right to left with its own spacing and
// centred on the same line.
void toolbar_right_side(App& app, const ItemRow& left, Rect content, HistoryFilePicker* picker) {
    ItemRow right{left.x, content.right, left.cy, 8.0f};
    top_bar_and_open_replay(app, right, picker);
}

}  // namespace

void draw_top_toolbar(App& app, Rect content, HistoryFilePicker* picker) {
    ItemRow row{content.left, content.right, content.center().y, 10.0f};
    paint_logo(ImGui::GetWindowDrawList(), row.take({30.0f, 30.0f}));
    const Rect mark = row.take(wordmark_size());
    paint_wordmark(ImGui::GetWindowDrawList(), {mark.left, mark.top});
    divider_with_space(row);
    segmented(row, false, app.view_mode, {ViewMode::Trace, "Trace"}, {ViewMode::Watch, "Watch"});
    row.space(4.0f);
    if (app.view_mode == ViewMode::Watch)
        watch_controls(app, row);
    else
        trace_controls(app, row);

    toolbar_right_side(app, row, content, picker);
}

void draw_toolbar(ViewContext& ctx) { draw_top_toolbar(ctx.app, ctx.panel.content, ctx.services.history_picker); }

}  // namespace corvane
