#pragma once
// What the window-frame benchmarks share: a shell that does nothing, a
// headless ImGui context the size of the window, and one whole frame.
#include <benchmark/benchmark.h>

#include <imgui.h>

#include "ui/app_frame.h"
#include "ui/imgui_context.h"
#include "ui/interaction.h"
#include "ui/render_colors.h"

namespace corvane::frame_bench {

class NullShell final : public Shell {
public:
    void maximize() override {}
    void request_attention() override {}
    ViewportInfo viewport_info() const override { return {true, false, true, false}; }
    void request_repaint_after(double) override {}
};

inline void headless_imgui() {
    if (ImGui::GetCurrentContext() != nullptr) return;
    create_imgui_context();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(1400, 880);
    io.DeltaTime = 1.0f / 60.0f;
    io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
}

// One frame of the window, no key pressed: the update, the panels and the
// draw lists.
inline void window_frame(AppFrame& frame, Shell& shell) {
    static const KeyboardFrame no_keys;
    ImGui::NewFrame();
    begin_interaction_frame();
    frame.frame(shell, no_keys);
    ImGui::Render();
    clear_transparent_vertices(ImGui::GetDrawData());
    benchmark::DoNotOptimize(ImGui::GetDrawData());
}

}  // namespace corvane::frame_bench
