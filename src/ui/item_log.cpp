#include "ui/item_log.h"

#include <imgui_internal.h>

#include <algorithm>

namespace corvane {

namespace {

ItemLog* g_log = nullptr;  // UI thread only
int g_cut_by_design = 0;    // depth of the boxes that cut texts by design

LoggedItem* find(ImGuiID id) {
    if (g_log == nullptr || id == 0) return nullptr;
    for (auto it = g_log->items.rbegin(); it != g_log->items.rend(); ++it)
        if (it->id == id) return &*it;
    return nullptr;
}

Rect clip_to(Rect r, const ImRect& clip) {
    const Rect v{std::max(r.left, clip.Min.x), std::max(r.top, clip.Min.y), std::min(r.right, clip.Max.x),
                 std::min(r.bottom, clip.Max.y)};
    if (v.width() <= 0.0f || v.height() <= 0.0f) return {};
    return v;
}

}  // namespace

void set_item_log(ItemLog* log) { g_log = log; }

void log_item(Rect rect, ImGuiID id, ItemRole role) {
    if (g_log == nullptr) return;
    if (LoggedItem* known = find(id)) {
        if (role == ItemRole::Hint)
            known->tooltip = true;
        else
            known->role = role;
        return;
    }
    const ImGuiWindow* window = ImGui::GetCurrentWindow();
    g_log->items.push_back({id, rect, clip_to(rect, window->ClipRect), role, window, false, role == ItemRole::Hint});
}

void log_last_imgui_item(ItemRole role) {
    if (g_log == nullptr) return;
    const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    log_item({min.x, min.y, max.x, max.y}, ImGui::GetItemID(), role);
}

void log_popup_opener(ImGuiID id) {
    if (LoggedItem* known = find(id)) known->opens_popup = true;
}

void log_text(ImDrawList* dl, std::string_view text, Rect rect) {
    if (g_log == nullptr) return;
    const ImGuiWindow* window = ImGui::GetCurrentWindowRead();
    if (window == nullptr || dl != window->DrawList) return;
    const ImRect clip(dl->GetClipRectMin(), dl->GetClipRectMax());
    g_log->texts.push_back({std::string(text), rect, clip_to(rect, clip), {clip.Min.x, clip.Min.y, clip.Max.x, clip.Max.y},
                            window, g_cut_by_design > 0});
}

void begin_texts_cut_by_design() { ++g_cut_by_design; }
void end_texts_cut_by_design() { --g_cut_by_design; }

void log_hover_box(Rect box) {
    if (g_log != nullptr) g_log->hover_boxes.push_back(box);
}

}  // namespace corvane
