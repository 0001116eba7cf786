#include "headless_imgui.h"

#include "ui/fonts.h"
#include "ui/imgui_context.h"
#include "ui/interaction.h"
#include "ui/render_colors.h"
#include "ui/theme.h"

namespace corvane::test {

void ensure_headless_imgui() {
    if (ImGui::GetCurrentContext() != nullptr) return;
    create_imgui_context();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(1400, 880);
    io.DeltaTime = 1.0f / 60.0f;
    io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
}

ImDrawData* run_frame(ImVec2 mouse, bool mouse_down, const std::function<void()>& build, bool in_window) {
    ensure_headless_imgui();
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = mouse;
    io.MouseDown[0] = mouse_down;
    ImGui::NewFrame();
    begin_interaction_frame();
    if (in_window) {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("test_root", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoSavedSettings);
        build();
        ImGui::End();
    } else {
        build();
    }
    ImGui::Render();
    clear_transparent_vertices(ImGui::GetDrawData());
    return ImGui::GetDrawData();
}

bool indices_in_range(const ImDrawData* data) {
    for (int l = 0; l < data->CmdListsCount; ++l) {
        const ImDrawList* list = data->CmdLists[l];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback) continue;
            for (unsigned i = 0; i < cmd.ElemCount; ++i) {
                const unsigned idx = list->IdxBuffer[static_cast<int>(cmd.IdxOffset + i)] + cmd.VtxOffset;
                if (idx >= static_cast<unsigned>(list->VtxBuffer.Size)) return false;
            }
        }
    }
    return true;
}

}  // namespace corvane::test
