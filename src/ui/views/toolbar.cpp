#include "ui/views/toolbar.h"

#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <string>
#include <vector>

#include "main/app_update_replay.h"
#include "replay/history_loader.h"
#include "ui/field_glyphs.h"
#include "ui/field_text.h"
#include "ui/fonts.h"
#include "ui/lifetime_key.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
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
constexpr float kSpacing = 10.0f, kRightSpacing = 8.0f;
constexpr FontId kTargetFont{FontFamily::Monospace, 14.0f};
constexpr const char* kTargetHint = "Target: host or IPv4";

// The target field narrows no further than its hint needs.
float target_floor() {
    return layout_text(kTargetHint, kTargetFont, palette::text_primary).size.x + 2.0f * theme::button_padding_x;
}

enum class Piece : unsigned char {
    Logo,
    Wordmark,
    Divider,
    ViewSwitch,
    Target,
    RecentTargets,
    StartStop,
    NewList,
    Ping,
    Route,
    Settings,
    Sound,
    Playback,
    LayoutSwitch,
    ClockSwitch,
};

// One item of the row with its size and the extra space before and after it
// (on top of the row's spacing).
struct RowPiece {
    Piece piece;
    Vec2 size;
    float before = 0.0f, after = 0.0f;
};

template <class T>
Vec2 switch_of(const T& value, const SegmentOption<T>& a, const SegmentOption<T>& b) {
    return switch_size(a.label, b.label, value == a.value ? 0 : value == b.value ? 1 : -1);
}

constexpr SegmentOption<ViewMode> kTraceView{ViewMode::Trace, "Trace"}, kWatchView{ViewMode::Watch, "Watch"};
constexpr SegmentOption<LayoutMode> kInstrument{LayoutMode::Instrument, "Instrument"},
    kSignal{LayoutMode::Signal, "Signal"};
constexpr SegmentOption<bool> kLocal{false, "Local"}, kUtc{true, "UTC"};

// The left-hand items, left to right, and the right-hand group, right to left.
struct ToolbarPieces {
    std::vector<RowPiece> left, right;
};

ToolbarPieces toolbar_pieces(const App& app) {
    ToolbarPieces p;
    const RowPiece divider{Piece::Divider, {1.0f, 28.0f}, 4.0f, 4.0f};
    p.left = {{Piece::Logo, {30.0f, 30.0f}},
              {Piece::Wordmark, wordmark_size()},
              divider,
              {Piece::ViewSwitch, switch_of(app.view_mode, kTraceView, kWatchView), 0.0f, 4.0f}};
    const std::string probe = interval_label(probe_interval_choices, app.shared->probe_ms.load());
    if (app.view_mode == ViewMode::Watch) {
        if (active_watch_running(app)) p.left.push_back({Piece::StartStop, kStartStopSize});
        p.left.push_back({Piece::NewList, new_list_button_size()});
        p.left.push_back(divider);
        p.left.push_back({Piece::Ping, interval_combo_size("Ping", probe)});
    } else if (app.active_trace < app.trace_tabs.size()) {
        const std::string route = interval_label(route_interval_choices, app.shared->route_secs.load());
        p.left.insert(p.left.end(), {{Piece::Target, {kTargetWidth, kTargetHeight}},
                                     {Piece::RecentTargets, kRecentButtonSize},
                                     {Piece::StartStop, kStartStopSize},
                                     divider,
                                     {Piece::Ping, interval_combo_size("Ping", probe)},
                                     {Piece::Route, interval_combo_size("Route", route)}});
    }
    p.right = {{Piece::Settings, kIconButtonSize}, {Piece::Sound, kIconButtonSize}, {Piece::Playback, kIconButtonSize}};
    if (app.view_mode == ViewMode::Trace)
        p.right.push_back({Piece::LayoutSwitch, switch_of(app.layout_mode, kInstrument, kSignal), 6.0f});
    p.right.push_back({Piece::ClockSwitch, switch_of(app.utc, kLocal, kUtc), app.view_mode == ViewMode::Trace ? 0.0f : 6.0f});
    return p;
}

// The row's natural width, the target field apart, and the gaps in it. The
// left items each take the spacing after them, the last one so it stays
// clear of the right-hand group.
RowFit fit_toolbar(const ToolbarPieces& p, float available) {
    float items = 0.0f, gaps = 0.0f, target = 0.0f;
    for (const RowPiece& r : p.left) {
        (r.piece == Piece::Target ? target : items) += r.size.x;
        gaps += r.before + kSpacing + r.after;
    }
    for (std::size_t i = 0; i < p.right.size(); ++i) {
        items += p.right[i].size.x;
        gaps += p.right[i].before + (i > 0 ? kRightSpacing : 0.0f);
    }
    return fit_row(available, items, gaps, target, target_floor());
}

// The target field: the active tab's target, edited in place. True when
// Enter ended the edit this frame.
bool target_field(TraceTab& tab, Rect r) {
    // The field's id follows the tab (its state, new at each start): when
    // Ctrl+W, Ctrl+T or a close shows another tab under a field being
    // edited, the edit ends (ImGui lets go of an id no longer drawn) rather
    // than write into the tab now shown.
    ImGui::PushID(lifetime_key(tab.state));
    const ImGuiID field_id = ImGui::GetID("##target");
    // ImGui would revert the text on Escape; the field keeps it and only
    // lets go of the focus.
    if (ImGui::GetActiveID() == field_id && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false))
        ImGui::ClearActiveID();

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(ImVec2(r.left, r.top), ImVec2(r.right, r.bottom), to_imu32(theme::extreme_bg), 6.0f);

    ImGui::PushFont(font(kTargetFont));
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
    edit_field_text(tab.target, {}, [](const FieldCall& f) {
        ImGui::InputTextWithHint("##target", kTargetHint, &f.buffer, f.flags, f.callback, f.user_data);
    });
    log_last_imgui_item();
    draw_single_line_cursor(mark);
    note_single_line_field(tab.target);
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
    dl->AddRect(ImVec2(r.left, r.top), ImVec2(r.right, r.bottom), to_imu32(border), 6.0f, 0, 1.0f);
    ImGui::PopID();
    return enter;
}

template <class T>
void segmented(Rect r, T& value, const SegmentOption<T>& a, const SegmentOption<T>& b) {
    place_cursor(r);
    draw_segmented_switch(value, a, b);
}

// What a click on one of the row's items does, and its popup.
class ToolbarDraw {
public:
    ToolbarDraw(App& app, HistoryFilePicker* picker) : app_(app), picker_(picker) {}

    void piece(Piece piece, Rect r) {
        switch (piece) {
        case Piece::Logo: paint_logo(ImGui::GetWindowDrawList(), r); break;
        case Piece::Wordmark: paint_wordmark(ImGui::GetWindowDrawList(), {r.left, r.top}); break;
        case Piece::Divider:
            place_cursor(r);
            draw_toolbar_divider();
            break;
        case Piece::ViewSwitch: segmented(r, app_.view_mode, kTraceView, kWatchView); break;
        case Piece::Target: enter_ = target_field(app_.trace_tabs[app_.active_trace], r); break;
        case Piece::RecentTargets: recent_targets(r); break;
        case Piece::StartStop: start_stop(r); break;
        case Piece::NewList:
            if (draw_new_list_button(r).clicked) open_new_list_editor(app_);
            break;
        case Piece::Ping:
            if (app_.view_mode == ViewMode::Watch)
                show_interval_combo(r, "probe_iv_w", "Ping", "How often each host is pinged. Applies immediately.",
                                    *app_.shared, IntervalKind::Probe, probe_interval_choices);
            else
                show_interval_combo(r, "probe_iv", "Ping", "How often each hop is probed. Applies immediately.",
                                    *app_.shared, IntervalKind::Probe, probe_interval_choices);
            break;
        case Piece::Route:
            show_interval_combo(r, "route_iv", "Route",
                                "How often the full path is traced again to catch route changes. Applies immediately.",
                                *app_.shared, IntervalKind::Route, route_interval_choices);
            break;
        case Piece::Settings:
            if (draw_icon_button(r, "settings", ToolbarIcon::Settings, "Settings").clicked)
                app_.settings_open = !app_.settings_open;
            break;
        case Piece::Sound:
            if (draw_icon_button(r, "sound", app_.sound_on ? ToolbarIcon::SoundOn : ToolbarIcon::SoundMuted,
                                 sound_button_tooltip(app_.sound_on))
                    .clicked)
                app_.sound_on = !app_.sound_on;
            break;
        case Piece::Playback: playback(r); break;
        case Piece::LayoutSwitch: segmented(r, app_.layout_mode, kInstrument, kSignal); break;
        case Piece::ClockSwitch: {
            bool utc = app_.utc;
            segmented(r, utc, kLocal, kUtc);
            if (utc != app_.utc) choose_clock_utc(app_, utc);
            break;
        }
        }
    }

private:
    void recent_targets(Rect r) {
        const ImGuiID popup_id = ImGui::GetID("recent_targets_popup");
        const Response recent = draw_recent_button(r);
        if (recent.clicked) toggle_popup(popup_id);
        log_popup_opener(recent.id);
        std::optional<std::string> chosen;
        bool clear = false;
        recent_targets_popup(popup_id, r, app_.recent, chosen, clear);
        // Applied before the Start/Stop button, so it already shows Stop.
        apply_recent_targets_menu(app_, chosen, clear);
    }

    void start_stop(Rect r) {
        if (app_.view_mode == ViewMode::Watch) {
            const Response b = draw_start_stop_button(r, active_watch_running(app_).value_or(false));
            hover_tooltip_text(b, "Start or stop the list in this tab");
            if (b.clicked) toggle_active_watch(app_);
            return;
        }
        if (draw_start_stop_button(r, active_trace_running(app_)).clicked)
            toggle_active_trace(app_);
        else if (enter_)
            start_active_trace(app_);
    }

    void playback(Rect r) {
        if (draw_icon_button(r, "playback", ToolbarIcon::Playback, "Play back a history file").clicked &&
            picker_ != nullptr) {
            AppReplayHost host(app_);
            load_history_file(host, *picker_, *app_.shared);
        }
    }

    App& app_;
    HistoryFilePicker* picker_;
    bool enter_ = false;  // Enter ended an edit of the target field
};

}  // namespace

void draw_top_toolbar(App& app, Rect content, HistoryFilePicker* picker) {
    // Laid out before anything is drawn: a click may change what the row holds.
    const ToolbarPieces pieces = toolbar_pieces(app);
    const RowFit fit = fit_toolbar(pieces, content.width());
    ToolbarDraw draw(app, picker);

    const float pixels = display_pixels_per_point();
    ItemRow left{content.left, content.right, content.center().y, kSpacing * fit.gap_scale, pixels};
    for (const RowPiece& p : pieces.left) {
        left.space(p.before * fit.gap_scale);
        const Vec2 size = p.piece == Piece::Target ? Vec2{fit.flexible_width, p.size.y} : p.size;
        draw.piece(p.piece, left.take(size));
        left.space(p.after * fit.gap_scale);
    }
    // The rest of the row, filled right to left with its own spacing.
    ItemRow right{left.x, content.right, content.center().y, kRightSpacing * fit.gap_scale, pixels};
    for (const RowPiece& p : pieces.right) {
        right.space_right(p.before * fit.gap_scale);
        draw.piece(p.piece, right.take_right(p.size));
    }
}

void draw_toolbar(ViewContext& ctx) { draw_top_toolbar(ctx.app, ctx.panel.content, ctx.services.history_picker); }

}  // namespace corvane
