#include "ui/views/toolbar_popup.h"

#include <imgui_internal.h>

#include <algorithm>
#include <string>

#include "ui/interaction.h"
#include "ui/layout_steps.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/text_layout.h"
#include "ui/theme.h"
#include "ui/ui_memory.h"
#include "ui/widget_layout.h"
#include "ui/widgets.h"

namespace corvane::toolbar_kit {

namespace {

constexpr float kPopupMargin = 6.0f;

}  // namespace

bool popup_open(ImGuiID id) { return ui_memory().get<bool>(id, false); }
void set_popup_open(ImGuiID id, bool open) { ui_memory().set<bool>(id, open); }
void toggle_popup(ImGuiID id) { set_popup_open(id, !popup_open(id)); }

void show_popup_below(ImGuiID id, const char* window_name, Rect opener, float inner_width,
                      const std::function<void()>& body) {
    if (!popup_open(id)) return;
    // Flipped left or up where the size it had last frame would not fit.
    UiMemory& mem = ui_memory();
    const ImGuiID width_id = ImHashStr("popup_width", 0, id), height_id = ImHashStr("popup_height", 0, id);
    const Vec2 size{mem.get<float>(width_id, inner_width + 2.0f * kPopupMargin), mem.get<float>(height_id, 0.0f)};
    const Rect box = place_below(opener, size, from_im(ImGui::GetIO().DisplaySize), 0.0f);
    ImGui::SetNextWindowPos(ImVec2(box.left, box.top));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(kPopupMargin, kPopupMargin));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, theme::menu_rounding);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 1.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowMinSize, ImVec2(1.0f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, to_imu32(theme::window_fill));
    ImGui::PushStyleColor(ImGuiCol_Border, to_imu32(theme::window_stroke.color));
    constexpr ImGuiWindowFlags kFlags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                        ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize |
                                        ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoNav;
    if (ImGui::Begin(window_name, nullptr, kFlags)) {
        feather_one_pixel();
        // Above every other window, the floating ones included.
        ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
        ImGui::Dummy(ImVec2(inner_width, 0.0f));
        ImGui::SetCursorPosY(kPopupMargin);
        body();
        mem.set<float>(width_id, ImGui::GetWindowWidth());
        mem.set<float>(height_id, ImGui::GetWindowHeight());
    }
    ImGui::End();
    ImGui::PopStyleColor(2);
    ImGui::PopStyleVar(4);

    const ImGuiIO& io = ImGui::GetIO();
    const bool escape = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
    const bool released_elsewhere =
        ImGui::IsMouseReleased(ImGuiMouseButton_Left) && !opener.contains(from_im(io.MousePos));
    if (escape || released_elsewhere) set_popup_open(id, false);
}

void popup_label(std::string_view text, FontId font, Color32 color) {
    const Galley g = layout_text(text, font, color);
    const Rect r = allocate_item(g.size);
    paint_galley(ImGui::GetWindowDrawList(), {r.left, r.top}, g);
}

void popup_separator(float width) {
    const Rect r = allocate_item({width, 6.0f});
    // A line drawn at y covers y to y + 1.
    const float y = on_whole_pixel(r.center().y - 0.5f);
    ImGui::GetWindowDrawList()->AddLine(ImVec2(r.left, y), ImVec2(r.right, y),
                                        to_imu32(widget_visuals(WidgetState::NonInteractive).border.color), 1.0f);
}

}  // namespace corvane::toolbar_kit
