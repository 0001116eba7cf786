#include "ui/views/watch_view_scroll.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "ui/color.h"
#include "ui/interaction.h"
#include "ui/palette.h"
#include "ui/ui_memory.h"

namespace corvane {

namespace {

constexpr float kWheelStep = 40.0f;
constexpr float kBarWidth = 6.0f;
constexpr float kBarInset = 2.0f;
constexpr float kMinThumb = 20.0f;

// What end_watch_scroll_area needs of its begin. UI thread only; these areas
// don't nest.
struct ScrollFrame {
    ImGuiID key = 0;
    Rect thumb;
    bool show_bar = false;
    bool dragging = false;
};
ScrollFrame g_frame;

ImGuiID content_key(ImGuiID key) { return ImHashStr("content", 0, key); }

}  // namespace

Rect scroll_thumb_rect(Rect area, float content, float scroll) {
    const float visible = area.height();
    if (visible <= 0.0f || content <= visible) return {};
    const float max_scroll = content - visible;
    const float h = std::min(visible, std::max(visible * visible / content, kMinThumb));
    const float t = std::clamp(scroll / max_scroll, 0.0f, 1.0f);
    const float top = area.top + (visible - h) * t;
    return {area.right - kBarInset - kBarWidth, top, area.right - kBarInset, top + h};
}

void begin_watch_scroll_area(const char* id, Rect area) {
    UiMemory& mem = ui_memory();
    const ImGuiID key = ImGui::GetID(id);
    // Last frame's contents: a host added or removed shows up one frame late,
    // which only delays the bar.
    const float content = mem.get<float>(content_key(key), 0.0f);
    const float max_scroll = std::max(content - area.height(), 0.0f);
    float scroll = std::clamp(mem.get<float>(key, 0.0f), 0.0f, max_scroll);

    const ImGuiIO& io = ImGui::GetIO();
    const bool over = ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows) &&
                      ImGui::IsMouseHoveringRect(ImVec2(area.left, area.top), ImVec2(area.right, area.bottom));
    if (over && io.MouseWheel != 0.0f) scroll = std::clamp(scroll - io.MouseWheel * kWheelStep, 0.0f, max_scroll);

    const ImGuiID thumb_id = ImHashStr("thumb", 0, key);
    const bool was_dragging = ImGui::GetActiveID() == thumb_id && io.MouseDown[0];
    const Rect before = scroll_thumb_rect(area, content, scroll);
    if (was_dragging && before.height() > 0.0f) {
        const float track = area.height() - before.height();
        if (track > 0.0f) scroll = std::clamp(scroll + io.MouseDelta.y * max_scroll / track, 0.0f, max_scroll);
    }
    mem.set<float>(key, scroll);

    ImGui::SetCursorScreenPos(ImVec2(area.left, area.top));
    ImGui::SetNextWindowScroll(ImVec2(0.0f, scroll));
    ImGui::BeginChild(id, ImVec2(std::max(area.width(), 1.0f), std::max(area.height(), 1.0f)), false,
                      ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                          ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings);

    // The thumb goes in before the rows so it wins the pointer where it
    // floats over them.
    g_frame = {};
    g_frame.key = key;
    g_frame.thumb = scroll_thumb_rect(area, content, scroll);
    if (g_frame.thumb.height() > 0.0f) {
        const Response r = interact(g_frame.thumb.expand(2.0f), thumb_id, Sense::Click);
        g_frame.dragging = r.held;
        g_frame.show_bar = over || r.held;
    }
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(ImGui::GetStyle().ItemSpacing.x, 0.0f));
}

void end_watch_scroll_area() {
    ImGui::PopStyleVar();
    ImGuiWindow* w = ImGui::GetCurrentWindow();
    ui_memory().set<float>(content_key(g_frame.key), w->DC.CursorMaxPos.y - w->DC.CursorStartPos.y);
    if (g_frame.show_bar) {
        const Rect t = g_frame.thumb;
        const Color32 c = g_frame.dragging ? palette::icon_idle : palette::border_hover;
        w->DrawList->AddRectFilled(ImVec2(t.left, t.top), ImVec2(t.right, t.bottom), to_imu32(c), kBarWidth / 2);
    }
    ImGui::EndChild();
}

}  // namespace corvane
