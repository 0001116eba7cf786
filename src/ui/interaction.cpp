#include "ui/interaction.h"

#include <imgui_internal.h>

#include <string>

#include "ui/fonts.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/ui_memory.h"
#include "ui/widget_layout.h"

namespace corvane {

namespace {

constexpr double kTooltipDelay = 0.5;
constexpr double kTooltipGrace = 0.2;

struct TooltipClock {
    double last_move = 0.0;
    double last_shown = -1e9;
    ImGuiID clicked_id = 0;  // a click hides that widget's tooltip until it is left
};
TooltipClock g_tips;

}  // namespace

UiMemory& ui_memory() {
    static UiMemory memory;
    return memory;
}

void begin_interaction_frame() {
    const ImGuiIO& io = ImGui::GetIO();
    if (io.MouseDelta.x != 0.0f || io.MouseDelta.y != 0.0f) g_tips.last_move = ImGui::GetTime();
}

Response interact(Rect rect, ImGuiID id, Sense sense, ItemRole role) {
    Response r{rect, id};
    if (sense == Sense::Click || role == ItemRole::Hint) log_item(rect, id, role);
    const ImRect bb(rect.left, rect.top, rect.right, rect.bottom);
    if (sense == Sense::Click) {
        if (!ImGui::ItemAdd(bb, id)) return r;
        r.clicked = ImGui::ButtonBehavior(bb, id, &r.hovered, &r.held);
    } else {
        r.hovered = ImGui::IsMouseHoveringRect(bb.Min, bb.Max) &&
                    ImGui::IsWindowHovered(ImGuiHoveredFlags_AllowWhenBlockedByActiveItem);
    }
    if (r.hovered && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) g_tips.clicked_id = id;
    return r;
}

void pointing_hand_if_hovered(const Response& r) {
    if (r.hovered) ImGui::SetMouseCursor(ImGuiMouseCursor_Hand);
}

void hover_tooltip(const Response& r, const std::function<void()>& body) {
    log_item(r.rect, r.id, ItemRole::Hint);
    if (!r.hovered) {
        if (g_tips.clicked_id == r.id) g_tips.clicked_id = 0;
        return;
    }
    if (g_tips.clicked_id == r.id) return;
    const double now = ImGui::GetTime();
    const bool still = now - g_tips.last_move >= kTooltipDelay;
    const bool grace = now - g_tips.last_shown <= kTooltipGrace;
    if (!still && !grace) return;
    g_tips.last_shown = now;

    // Placed 4 below the widget at its left edge, flipped where the size it
    // had when last shown would not fit.
    UiMemory& mem = ui_memory();
    const ImGuiID width_id = ImHashStr("tooltip_width", 0, r.id);
    const ImGuiID height_id = ImHashStr("tooltip_height", 0, r.id);
    const Vec2 last{mem.get<float>(width_id, 0.0f), mem.get<float>(height_id, 0.0f)};
    const Rect box = place_below(r.rect, last, from_im(ImGui::GetIO().DisplaySize), 4.0f);
    ImGui::SetNextWindowPos(ImVec2(box.left, box.top));

    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(6.0f, 6.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_PopupRounding, 8.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 8.0f);
    ImGui::PushStyleColor(ImGuiCol_PopupBg, to_imu32(rgb(22, 22, 22)));
    ImGui::PushStyleColor(ImGuiCol_Border, to_imu32(palette::border));
    ImGui::BeginTooltip();
    feather_one_pixel();
    body();
    mem.set<float>(width_id, ImGui::GetWindowWidth());
    mem.set<float>(height_id, ImGui::GetWindowHeight());
    ImGui::EndTooltip();
    ImGui::PopStyleColor(2);
    ImGui::PopStyleVar(3);
}

void hover_tooltip_text(const Response& r, std::string_view text) {
    hover_tooltip(r, [&] {
        note_text(text);
        ImGui::TextUnformatted(text.data(), text.data() + text.size());
    });
}

}  // namespace corvane
