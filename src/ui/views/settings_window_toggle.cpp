#include <imgui.h>
#include <imgui_internal.h>

#include <string>
#include <unordered_map>

#include "ui/animation_frames.h"
#include "ui/interaction.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/text_layout.h"
#include "ui/views/settings_window_parts.h"

namespace corvane {

namespace {

constexpr float kRowHeight = 48.0f;
constexpr float kSlideSeconds = 1.0f / 12.0f;
constexpr Color32 kTrackOff = rgb(44, 44, 44);
constexpr Color32 kKnobOff = rgb(150, 150, 150);

float switch_position(ImGuiID id, bool on) {
    static std::unordered_map<ImGuiID, BoolAnimation> slides;
    const float t = slides[id].value(on, ImGui::GetTime(), kSlideSeconds);
    if (on ? t < 1.0f : t > 0.0f) request_animation_frame();
    return t;
}

}  // namespace

void draw_settings_toggle_row(bool& value, std::string_view title, std::string_view description) {
    const Rect row = allocate_item({ImGui::GetContentRegionAvail().x, kRowHeight});
    const std::string key(title);
    const ImGuiID id = ImGui::GetID(key.c_str());
    const Response resp = interact(row, id, Sense::Click);
    if (resp.clicked) value = !value;
    pointing_hand_if_hovered(resp);

    ImDrawList* dl = ImGui::GetWindowDrawList();
    dl->PushClipRect(to_im({row.left, row.top}), to_im({row.right, row.bottom}), true);
    if (resp.hovered)
        dl->AddRectFilled(to_im({row.left, row.top}), to_im({row.right, row.bottom}),
                          to_imu32(color_with_alpha(255, 255, 255, 5)));

    const float cy = row.center().y;
    paint_text(dl, {row.left, cy - 9}, anchor::left_center, title, {FontFamily::Medium, 13}, palette::text_primary);
    paint_text(dl, {row.left, cy + 10}, anchor::left_center, description, {FontFamily::Proportional, 11.5f},
               palette::text_faint);

    const float t = switch_position(id, value);
    const float cx = row.right - 20.0f;
    const Rect track{cx - 19.0f, cy - 11.0f, cx + 19.0f, cy + 11.0f};
    dl->AddRectFilled(to_im({track.left, track.top}), to_im({track.right, track.bottom}),
                      to_imu32(lerp_color(kTrackOff, palette::accent, t)), 11.0f);
    dl->AddCircleFilled(ImVec2(switch_knob_x(track.left, track.right, t), cy), 8.0f,
                        to_imu32(lerp_color(kKnobOff, palette::text_white, t)));
    dl->PopClipRect();
}

}  // namespace corvane
