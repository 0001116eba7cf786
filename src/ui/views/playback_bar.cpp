#include "ui/views/playback_bar.h"

#include <imgui_internal.h>

#include <algorithm>

#include "engine/clock_text.h"
#include "replay/replay_playback.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"
#include "ui/views/playback_bar_layout.h"
#include "ui/views/toolbar_row.h"

namespace corvane {

using namespace toolbar_kit;

namespace {

constexpr FontId kSpeedFont{FontFamily::Proportional, 12.0f};
constexpr FontId kSpeedCurrentFont{FontFamily::Semibold, 12.0f};

void draw_play_pause_button(ReplaySession& s, Rect r) {
    const Response resp = interact(r, ImGui::GetID("play_pause"), Sense::Click);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    paint_primary_fill(dl, r, 19.0f, resp.hovered);
    const Vec2 c = r.center();
    const ImU32 white = to_imu32(palette::text_white);
    if (s.playing) {
        dl->AddRectFilled(ImVec2(c.x - 6, c.y - 7), ImVec2(c.x - 2, c.y + 7), white, 1.0f);
        dl->AddRectFilled(ImVec2(c.x + 2, c.y - 7), ImVec2(c.x + 6, c.y + 7), white, 1.0f);
    } else {
        dl->AddTriangleFilled(ImVec2(c.x - 4, c.y - 7.5f), ImVec2(c.x + 8, c.y), ImVec2(c.x - 4, c.y + 7.5f), white);
    }
    pointing_hand_if_hovered(resp);
    hover_tooltip_text(resp, s.playing ? "Pause" : "Play");
    if (resp.clicked) toggle_playback(s);
}

struct TitleTexts {
    Galley heading, title;
    Vec2 size() const {
        return {std::max(heading.size.x, title.size.x), 12.0f + heading.size.y + title.size.y};
    }
};

TitleTexts title_texts(const ReplaySession& s) {
    return {layout_text("Playback", {FontFamily::Semibold, 13.0f}, palette::accent_bright),
            layout_text(s.title, {FontFamily::Monospace, 11.5f}, palette::text_secondary)};
}

void draw_playback_title(const ReplaySession& s, const TitleTexts& t, Rect r) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const float y = r.top + 12.0f;
    paint_galley(dl, {r.left, y}, t.heading);
    const Rect title{r.left, y + t.heading.size.y, r.left + t.title.size.x, y + t.heading.size.y + t.title.size.y};
    paint_galley(dl, {title.left, title.top}, t.title);
    const Response resp = interact(title, ImGui::GetID("title"), Sense::Hover);
    hover_tooltip_text(resp, playback_file_name(s.path));
}

struct SpeedTexts {
    Galley labels[kPlaybackSpeeds.size()];
    float width() const {
        float w = 10.0f;
        for (const Galley& g : labels) w += g.size.x + 22.0f;
        return w;
    }
};

SpeedTexts speed_texts(const ReplaySession& s) {
    SpeedTexts t;
    for (std::size_t i = 0; i < kPlaybackSpeeds.size(); ++i)
        t.labels[i] = layout_text(kPlaybackSpeeds[i].label,
                                  kPlaybackSpeeds[i].value == s.speed ? kSpeedCurrentFont : kSpeedFont,
                                  palette::text_primary);
    return t;
}

void draw_speed_selector(ReplaySession& s, const SpeedTexts& t, Rect box) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->AddRectFilled(ImVec2(box.left, box.top), ImVec2(box.right, box.bottom), to_imu32(palette::panel_bg), 7.0f);
    dl->AddRect(ImVec2(box.left, box.top), ImVec2(box.right, box.bottom), to_imu32(palette::divider), 7.0f, 0, 1.0f);
    float x = box.left + 2.0f;
    for (std::size_t i = 0; i < kPlaybackSpeeds.size(); ++i) {
        const Rect seg{x, box.top + 2.0f, x + t.labels[i].size.x + 22.0f, box.top + 30.0f};
        ImGui::PushID("seg");
        ImGui::PushID(static_cast<int>(i));
        const ImGuiID id = ImGui::GetCurrentWindow()->GetID(static_cast<int>(box.left));
        ImGui::PopID();
        ImGui::PopID();
        const Response resp = interact(seg, id, Sense::Click);
        const bool current = kPlaybackSpeeds[i].value == s.speed;
        Color32 text = resp.hovered ? palette::text_primary : palette::text_secondary;
        if (current) {
            dl->AddRectFilled(ImVec2(seg.left, seg.top), ImVec2(seg.right, seg.bottom), to_imu32(palette::segment_fill),
                              5.0f);
            text = palette::accent_bright;
        }
        const Rect tr = anchor_rect(seg.center(), anchor::center_center, t.labels[i].size);
        paint_galley(dl, {tr.left, tr.top}, t.labels[i], text);
        pointing_hand_if_hovered(resp);
        if (resp.clicked) choose_playback_speed(s, kPlaybackSpeeds[i].value);
        x = seg.right + 2.0f;
    }
}

}  // namespace

void draw_back_to_live_button(bool& leave_playback) {
    if (draw_dialog_button("Back to live").clicked) leave_playback = true;
}

void draw_playback_bar(ReplaySession& session, bool& leave_playback, Rect content) {
    ItemRow row{content.left, content.right, content.center().y, 12.0f, display_pixels_per_point()};
    draw_play_pause_button(session, row.take({38.0f, 38.0f}));

    const TitleTexts title = title_texts(session);
    draw_playback_title(session, title, row.take(title.size()));

    const SpeedTexts speeds = speed_texts(session);
    draw_speed_selector(session, speeds, row.take({speeds.width(), 32.0f}));

    draw_playback_timeline(session, row.take({timeline_width(row.available()), 44.0f}));

    const Galley now = layout_text(format_clock_time(position_to_ms(session.position_ms), true),
                                   {FontFamily::MonoMedium, 14.0f}, palette::accent_bright);
    const Rect now_rect = row.take(now.size);
    paint_galley(ImGui::GetWindowDrawList(), {now_rect.left, now_rect.top}, now);

    place_cursor(row.take_right(dialog_button_size("Back to live")));
    draw_back_to_live_button(leave_playback);
}

void draw_playback_bar(ViewContext& ctx) {
    if (!ctx.app.replay) return;
    draw_playback_bar(*ctx.app.replay, ctx.actions.back_to_live, ctx.panel.content);
}

}  // namespace corvane
