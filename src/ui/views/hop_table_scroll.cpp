#include "ui/views/hop_table_scroll.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "ui/interaction.h"

namespace corvane {

namespace {
constexpr float kWheelStep = 40.0f;
constexpr float kHandleMin = 12.0f;
constexpr float kBarWidth = 6.0f;

// The handle's response, taken before the rows so it wins the pointer over
// the cells beneath it, and painted after them. UI thread only; areas are
// never nested.
Response g_handle;

Rect handle_track(const ImGuiWindow* w) {
    return {w->Pos.x + w->Size.x - kBarWidth - 2, w->Pos.y, w->Pos.x + w->Size.x - 2, w->Pos.y + w->Size.y};
}
}  // namespace

Rect hop_scroll_handle(Rect track, float content_h, float scroll) {
    const float view_h = track.height();
    if (view_h <= 0 || content_h <= view_h) return {track.right, track.top, track.right, track.top};
    const float h = std::min(view_h, std::max(kHandleMin, view_h * view_h / content_h));
    const float max_scroll = content_h - view_h;
    const float t = std::clamp(scroll / max_scroll, 0.0f, 1.0f);
    const float top = track.top + (view_h - h) * t;
    return {track.left, top, track.right, top + h};
}

bool begin_hop_scroll_area(const char* id, Rect area) {
    if (area.width() < 1 || area.height() < 1) return false;
    ImGui::SetCursorScreenPos(to_im({area.left, area.top}));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::BeginChild(id, ImVec2(area.width(), area.height()), false,
                      ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                          ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings);
    const float wheel = ImGui::GetIO().MouseWheel;
    if (wheel != 0 && ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows))
        ImGui::SetScrollY(std::clamp(ImGui::GetScrollY() - wheel * kWheelStep, 0.0f, ImGui::GetScrollMaxY()));

    ImGuiWindow* w = ImGui::GetCurrentWindow();
    g_handle = {};
    const float content_h = w->ContentSize.y;
    if (content_h > w->Size.y) {
        const Rect track = handle_track(w);
        g_handle = interact(track, w->GetID("scroll_handle"), Sense::Click);
        if (g_handle.held) {
            // Dragging moves the content as far as the handle travels, scaled.
            const float max_scroll = content_h - w->Size.y;
            const float h = hop_scroll_handle(track, content_h, 0).height();
            const float dy = ImGui::GetIO().MouseDelta.y;
            if (w->Size.y > h)
                ImGui::SetScrollY(std::clamp(w->Scroll.y + dy * max_scroll / (w->Size.y - h), 0.0f, max_scroll));
        }
    }
    return true;
}

void end_hop_scroll_area() {
    ImGuiWindow* w = ImGui::GetCurrentWindow();
    const float content_h = w->ContentSize.y;
    const bool over = ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows |
                                             ImGuiHoveredFlags_AllowWhenBlockedByActiveItem);
    if (content_h > w->Size.y && (over || g_handle.held)) {
        const Rect handle = hop_scroll_handle(handle_track(w), content_h, w->Scroll.y);
        const Color32 c = g_handle.hovered || g_handle.held ? rgb(110, 110, 110) : rgb(70, 70, 70);
        w->DrawList->AddRectFilled(to_im({handle.left, handle.top}), to_im({handle.right, handle.bottom}),
                                   to_imu32(c), kBarWidth / 2);
    }
    ImGui::EndChild();
    ImGui::PopStyleVar(2);
}

}  // namespace corvane
