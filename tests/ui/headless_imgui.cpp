#include "headless_imgui.h"

#include <gtest/gtest.h>

#include <imgui_internal.h>

#include <cfloat>

#include "ui/fonts.h"
#include "ui/imgui_context.h"
#include "ui/interaction.h"
#include "ui/render_colors.h"
#include "ui/ui_memory.h"

namespace corvane::test {

namespace {

const ImVec2 kNoPointer(-FLT_MAX, -FLT_MAX);
// Seconds the clock jumps between tests, and after the warm-up's click: past
// every tooltip delay and grace, and past the double-click time.
constexpr double kTestGap = 1000.0;
constexpr double kAfterClick = 1.0;

// What every test's context starts from: the program's own context, made
// once. Its atlas outlives it, so the fonts are baked only once.
struct Template {
    ImFontAtlas* atlas = nullptr;
    ImGuiStyle style;
    ImFont* font_default = nullptr;
    const char* ini_filename = nullptr;
    const char* log_filename = nullptr;
    ImGuiConfigFlags config_flags = 0;
};
Template g_template;
double g_clock = 0.0;  // ImGui time reached by the previous tests

void make_template() {
    create_imgui_context();
    ImGuiIO& io = ImGui::GetIO();
    g_template.atlas = io.Fonts;
    g_template.style = ImGui::GetStyle();
    g_template.font_default = io.FontDefault;
    g_template.ini_filename = io.IniFilename;
    g_template.log_filename = io.LogFilename;
    g_template.config_flags = io.ConfigFlags;
    GImGui->FontAtlasOwnedByContext = false;
    ImGui::DestroyContext();
}

void new_context() {
    if (ImGuiContext* old = ImGui::GetCurrentContext()) {
        g_clock = old->Time;
        ImGui::DestroyContext(old);
    }
    if (g_template.atlas == nullptr) make_template();
    ImGui::CreateContext(g_template.atlas);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = g_template.ini_filename;
    io.LogFilename = g_template.log_filename;
    io.ConfigFlags = g_template.config_flags;
    io.FontDefault = g_template.font_default;
    ImGui::GetStyle() = g_template.style;
    io.DisplaySize = ImVec2(1400, 880);
    io.DeltaTime = 1.0f / 60.0f;
    io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;
    // The tooltip clock lives outside the context; its times must stay in the past.
    GImGui->Time = g_clock + kTestGap;
}

// The tooltip clock remembers the last widget clicked (its tooltip stays
// hidden until the pointer leaves it). Click a widget of our own, then leave
// it, so no earlier test's widget is left marked. Then move the pointer once,
// so every test starts with a pointer that has just moved, and take it off the
// screen, as at the start of a process.
void bring_tooltip_clock_to_rest() {
    const ImGuiID id = ImHashStr("headless_imgui_reset");
    const Rect spot{0, 0, 4, 4};
    const auto dummy = [&] { (void)interact(spot, id, Sense::Hover); };
    run_frame({1, 1}, false, [] {});
    run_frame({1, 1}, true, dummy);
    run_frame({1, 1}, false, [&] { hover_tooltip(Response{spot, id}, [] {}); });
    GImGui->Time += kAfterClick;
    run_frame({2, 2}, false, [] {});
    run_frame(kNoPointer, false, [] {});
}

class FreshContextPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { reset_headless_imgui(); }
};

const bool g_listening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshContextPerTest);
    return true;
}();

}  // namespace

void ensure_headless_imgui() {
    if (ImGui::GetCurrentContext() == nullptr) reset_headless_imgui();
}

void reset_headless_imgui() {
    new_context();
    ui_memory() = UiMemory{};
    bring_tooltip_clock_to_rest();
}

ImDrawData* run_frame(ImVec2 mouse, bool mouse_down, const std::function<void()>& build, bool in_window) {
    ensure_headless_imgui();
    refresh_font_atlas(font_scale());
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

void settle_frames(const std::function<void()>& build, int frames, bool in_window) {
    for (int i = 0; i < frames; ++i) run_frame(kNoPointer, false, build, in_window);
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
