#include "ui/scroll_area.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "ui/color.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/ui_memory.h"

namespace corvane {

namespace {

// What end_scroll_area needs of its begin. UI thread only.
struct OpenArea {
    ImGuiID key = 0;
    Rect thumb;
    bool show_bar = false;
    bool dragging = false;
};
OpenArea g_area;

ImGuiID content_key(ImGuiID key) { return ImHashStr("content", 0, key); }

Rect bar_track(Rect area) {
    return {area.right - kScrollBarInset - kScrollBarWidth, area.top, area.right - kScrollBarInset, area.bottom};
}

}  // namespace

Rect scroll_thumb_rect(Rect track, float content_h, float scroll, float min_h) {
    const float visible = track.height();
    if (visible <= 0.0f || content_h <= visible) return {track.left, track.top, track.right, track.top};
    const float max_scroll = content_h - visible;
    const float h = std::min(visible, std::max(visible * visible / content_h, min_h));
    const float t = std::clamp(scroll / max_scroll, 0.0f, 1.0f);
    const float top = track.top + (visible - h) * t;
    return {track.left, top, track.right, top + h};
}

float scroll_content_width(Rect area, float content_h) {
    return content_h > area.height() ? std::max(area.width() - kScrollGutter, 0.0f) : area.width();
}

float scroll_after_wheel(float scroll, float notches, float max_scroll) {
    return std::clamp(scroll - notches * kScrollWheelStep, 0.0f, std::max(max_scroll, 0.0f));
}

bool begin_scroll_area(const char* id, Rect area, std::optional<float> content_h) {
    if (area.width() < 1.0f || area.height() < 1.0f) return false;
    UiMemory& mem = ui_memory();
    const ImGuiID key = ImGui::GetID(id);
    const float content = content_h.value_or(mem.get<float>(content_key(key), 0.0f));
    const float max_scroll = std::max(content - area.height(), 0.0f);
    float scroll = std::clamp(mem.get<float>(key, 0.0f), 0.0f, max_scroll);

    const ImGuiIO& io = ImGui::GetIO();
    const bool over = ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows) &&
                      ImGui::IsMouseHoveringRect(ImVec2(area.left, area.top), ImVec2(area.right, area.bottom));
    if (over && io.MouseWheel != 0.0f) scroll = scroll_after_wheel(scroll, io.MouseWheel, max_scroll);

    // Dragging moves the contents as far as the thumb travels, scaled.
    const Rect track = bar_track(area);
    const ImGuiID thumb_id = ImHashStr("thumb", 0, key);
    const bool was_dragging = ImGui::GetActiveID() == thumb_id && io.MouseDown[0];
    const float travel = area.height() - scroll_thumb_rect(track, content, scroll).height();
    if (was_dragging && max_scroll > 0.0f && travel > 0.0f)
        scroll = std::clamp(scroll + io.MouseDelta.y * max_scroll / travel, 0.0f, max_scroll);
    mem.set<float>(key, scroll);

    ImGui::SetCursorScreenPos(ImVec2(area.left, area.top));
    ImGui::SetNextWindowScroll(ImVec2(0.0f, scroll));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::BeginChild(id, ImVec2(area.width(), area.height()), false,
                      ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                          ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings);
    ImGui::PopStyleVar();
    feather_one_pixel();

    // The thumb goes in before the contents so it wins the pointer where it
    // floats over them; it is painted after them.
    g_area = {};
    g_area.key = key;
    g_area.thumb = scroll_thumb_rect(track, content, scroll);
    if (g_area.thumb.height() > 0.0f) {
        // The id is hashed, not taken from GetID, which is what keeps an
        // active id alive in this Dear ImGui: without this a drag would end
        // after its first frame.
        ImGui::KeepAliveID(thumb_id);
        const Response r = interact(g_area.thumb.expand(kScrollBarInset), thumb_id, Sense::Click, ItemRole::Overlay);
        g_area.dragging = r.held;
        g_area.show_bar = over || r.held;
    }
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(ImGui::GetStyle().ItemSpacing.x, 0.0f));
    return true;
}

void end_scroll_area() {
    ImGui::PopStyleVar();
    ImGuiWindow* w = ImGui::GetCurrentWindow();
    ui_memory().set<float>(content_key(g_area.key), w->DC.CursorMaxPos.y - w->DC.CursorStartPos.y);
    if (g_area.show_bar) {
        const Rect t = g_area.thumb;
        const Color32 c = g_area.dragging ? palette::icon_idle : palette::border_hover;
        w->DrawList->AddRectFilled(ImVec2(t.left, t.top), ImVec2(t.right, t.bottom), to_imu32(c),
                                   kScrollBarWidth / 2);
    }
    ImGui::EndChild();
}

}  // namespace corvane
