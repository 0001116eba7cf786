#include <imgui_internal.h>

#include <algorithm>

#include "engine/clock_text.h"
#include "replay/replay_playback.h"
#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/widgets.h"
#include "ui/views/playback_bar.h"
#include "ui/views/playback_bar_layout.h"

namespace corvane {

void draw_playback_timeline(ReplaySession& s, Rect r) {
    const Response resp = interact(r, ImGui::GetID("timeline"), Sense::Click);
    const ImVec2 pointer = ImGui::GetIO().MousePos;
    const TimelineScale scale{r.left, r.width(), s.start_ms, s.end_ms};

    // Seek first, so the bar already shows where the click or drag took it.
    if ((resp.held || resp.clicked) && ImGui::IsMousePosValid(&pointer)) replay_seek(s, scale.time_at(pointer.x));

    ImDrawList* dl = ImGui::GetWindowDrawList();
    const float x0 = r.left, x1 = r.right, y0 = r.top;
    dl->PushClipRect(ImVec2(x0 - 10.0f, r.top), ImVec2(x1 + 10.0f, r.bottom), true);
    dl->AddRectFilled(ImVec2(x0, y0 + 12), ImVec2(x1, y0 + 18), to_imu32(rgb(38, 30, 24)), 3.0f);
    const float k = scale.x_of(static_cast<double>(position_to_ms(s.position_ms)));
    if (k > x0 + 1.0f) fill_rounded_rect(dl, {x0, y0 + 12, k, y0 + 18}, 3.0f, palette::accent_dark, palette::accent);
    for (const std::int64_t m : s.markers_ms) {
        const float xm = scale.x_of(static_cast<double>(m));
        dl->AddRectFilled(ImVec2(xm - 1, y0 + 9), ImVec2(xm + 1, y0 + 21), to_imu32(palette::warn_amber), 1.0f);
    }
    dl->AddCircleFilled(ImVec2(k, y0 + 15), 7.0f, to_imu32(palette::text_white), 24);
    dl->AddCircle(ImVec2(k, y0 + 15), 7.0f, to_imu32(palette::accent), 24, 2.0f);

    const FontId date_font{FontFamily::Monospace, 10.5f};
    const Rect start = paint_text(dl, {x0, y0 + 38}, anchor::left_bottom, format_replay_datetime(s.start_ms),
                                  date_font, palette::text_faint);
    const Rect end = paint_text(dl, {x1, y0 + 38}, anchor::right_bottom, format_replay_datetime(s.end_ms), date_font,
                                palette::text_faint);
    const std::string marks = router_change_label(s.markers_ms.size());
    if (!marks.empty()) {
        // On a short timeline the dates leave it less room than it needs: it
        // keeps clear of them, moved off the middle, ending in "…", or gone.
        constexpr float kGap = 8.0f;
        const float left = start.right + kGap, right = std::max(left, end.left - kGap);
        if (const auto g = fit_text_row(marks, {FontFamily::Proportional, 10.5f}, palette::warn_amber, right - left)) {
            const float x = std::clamp((x0 + x1 - g->size.x) * 0.5f, left, right - g->size.x);
            paint_galley(dl, {x, y0 + 38 - g->size.y}, *g);
        }
    }
    dl->PopClipRect();
    pointing_hand_if_hovered(resp);

    if (resp.hovered) {
        const double t = scale.time_at(pointer.x);
        draw_tooltip_box(ImGui::GetForegroundDrawList(), pointer.x, y0 - 30.0f, ImGui::GetIO().DisplaySize.x,
                         format_clock_time(position_to_ms(t), true), "", palette::text_primary);
    }
}

}  // namespace corvane
