#include "shell/glfw_shell.h"

#include <imgui.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>
#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <malloc.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <limits>

#include "platform/child_process.h"
#include "shell/dialog_above.h"
#include "shell/frame_capture.h"
#include "shell/window_points.h"
#include "ui/animation_frames.h"
#include "ui/fonts.h"
#include "ui/frame_guard.h"
#include "ui/frame_snapshot.h"
#include "ui/imgui_context.h"
#include "ui/interaction.h"
#include "ui/key_input.h"
#include "ui/palette.h"
#include "ui/pixel_fringe.h"
#include "ui/render_colors.h"
#include "ui/theme.h"
#include "ui/window_icon.h"

#ifndef GL_FUNC_ADD
#define GL_FUNC_ADD 0x8006
#endif
using BlendFuncSeparateFn = void (*)(GLenum, GLenum, GLenum, GLenum);

// GLFW's X11 accessors. Their header, glfw3native.h, would bring in Xlib's
// and XRandR's for two types, Window, which is an unsigned long, and Display.
extern "C" unsigned long glfwGetX11Window(GLFWwindow* window);
extern "C" void* glfwGetX11Display(void);

namespace corvane {

namespace {

volatile std::sig_atomic_t g_end_requested = 0;
// A picker blocks the frame loop while it is open; it is ended too, so the
// loop sees the request within its usual wait.
void on_end_signal(int) {
    g_end_requested = 1;
    end_pickers_for_exit();
}

KeyboardFrame g_keyboard;
BlendFuncSeparateFn g_blend_func_separate = nullptr;
// While a dialog modal to the window is open, input to the window is
// dropped, as a window behind a modal dialog ignores it; only releases go
// through, so nothing stays held.
bool g_dialog_open = false;
// The window system asked for the window's content again (it was uncovered).
bool g_needs_repaint = false;

void key_callback(GLFWwindow*, int key, int scancode, int action, int mods) {
    const KeyAction a = action == GLFW_PRESS    ? KeyAction::Press
                        : action == GLFW_REPEAT ? KeyAction::Repeat
                                                : KeyAction::Release;
    if (g_dialog_open && a != KeyAction::Release) return;
    char meaning = 0;
    if (a != KeyAction::Release) {
        // The character the active layout puts on the key, read at the
        // press, so a layout switched while running counts at once.
        const char* typed = glfwGetKeyName(key, scancode);
        meaning = shortcut_key(key, typed != nullptr ? typed : "");
    }
    g_keyboard.on_key(key, a, mods, meaning);
}

void char_callback(GLFWwindow*, unsigned int codepoint) {
    if (!g_dialog_open) g_keyboard.on_char(codepoint);
}

void mouse_button_callback(GLFWwindow* w, int button, int action, int mods) {
    if (!g_dialog_open || action == GLFW_RELEASE) ImGui_ImplGlfw_MouseButtonCallback(w, button, action, mods);
}

void scroll_callback(GLFWwindow* w, double x, double y) {
    if (!g_dialog_open) ImGui_ImplGlfw_ScrollCallback(w, x, y);
}

void refresh_callback(GLFWwindow*) { g_needs_repaint = true; }

// Runs first in every frame's draw data: the backend sets straight-alpha
// blending, but every colour we hand over is premultiplied.
void premultiplied_blend(const ImDrawList*, const ImDrawCmd*) {
    if (g_blend_func_separate)
        g_blend_func_separate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_ONE);
}

// Clears the window to the panel colour and draws `frame` over it.
void draw_frame(GLFWwindow* window, ImDrawData* frame) {
    int fb_w = 0, fb_h = 0;
    glfwGetFramebufferSize(window, &fb_w, &fb_h);
    glViewport(0, 0, fb_w, fb_h);
    const Color32 bg = palette::panel_bg;
    glClearColor(bg.r / 255.0f, bg.g / 255.0f, bg.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (frame != nullptr) ImGui_ImplOpenGL3_RenderDrawData(frame);
}

class GlfwShell final : public Shell {
public:
    GlfwShell(GLFWwindow* w, FrameSnapshot& last_frame) : window_(w), last_frame_(last_frame) {}
    void maximize() override { glfwMaximizeWindow(window_); }
    void request_attention() override { glfwRequestWindowAttention(window_); }
    std::uint64_t dialog_parent() const override { return glfwGetX11Window(window_); }
    ViewportInfo viewport_info() const override {
        ViewportInfo v;
        v.maximized_known = v.minimized_known = true;
        v.maximized = glfwGetWindowAttrib(window_, GLFW_MAXIMIZED) != 0;
        v.minimized = glfwGetWindowAttrib(window_, GLFW_ICONIFIED) != 0;
        return v;
    }
    void request_repaint_after(double seconds) override {
        if (seconds >= 0.0) next_wait_ = std::min(next_wait_, seconds);
    }
    // The dialog blocks the frame loop: events are read here instead, and
    // the last frame is shown again whenever the window system asks for it.
    void while_dialog_open(int dialog_pid) override {
        g_dialog_open = true;
        dialog_above_.serve(glfwGetX11Display(), glfwGetX11Window(window_), dialog_pid);
        glfwPollEvents();
        if (g_needs_repaint) {
            g_needs_repaint = false;
            draw_frame(window_, last_frame_.data());
            glfwSwapBuffers(window_);
        }
    }
    // After a frame in which a dialog was open: what reached the window until
    // the dialog closed is dropped, not acted on by the next frame.
    void end_dialog() {
        if (!g_dialog_open) return;
        glfwPollEvents();
        g_dialog_open = false;
    }
    // The wait before the next frame; an unrequested frame waits for input.
    double take_wait() {
        const double w = next_wait_;
        next_wait_ = std::numeric_limits<double>::infinity();
        return w;
    }

private:
    GLFWwindow* window_;
    FrameSnapshot& last_frame_;
    DialogAbove dialog_above_;
    double next_wait_ = 0.0;
};

void glfw_error(int code, const char* text) { std::fprintf(stderr, "GLFW error %d: %s\n", code, text); }

}  // namespace

int run_shell(const ShellOptions& options, FrameDriver& driver) {
    glfwSetErrorCallback(glfw_error);
    if (!glfwInit()) {
        std::fprintf(stderr, "Error: could not start the window system\n");
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    // The sizes are in points: the window opens at their pixels on the screen's scale.
    glfwWindowHint(GLFW_SCALE_TO_MONITOR, GLFW_TRUE);
    GLFWwindow* window = glfwCreateWindow(options.width, options.height, options.title, nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "Error: could not open an OpenGL 3.3 window\n");
        glfwTerminate();
        return 1;
    }
    follow_content_scale(window);
    set_min_size_in_points(window, options.min_width, options.min_height);
    std::vector<std::uint8_t> icon_pixels = make_window_icon();
    const GLFWimage icon{kIconSize, kIconSize, icon_pixels.data()};
    glfwSetWindowIcon(window, 1, &icon);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    g_blend_func_separate = reinterpret_cast<BlendFuncSeparateFn>(glfwGetProcAddress("glBlendFuncSeparate"));

    // No side of the atlas may exceed the largest texture the driver takes,
    // or the whole window renders black.
    GLint max_texture_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_side);
    AtlasLimits limits;
    if (max_texture_side > 0) limits.max_texture_side = max_texture_side;
    create_imgui_context(pixels_per_point(), limits);
    ImGuiIO& io = ImGui::GetIO();

    ImGui_ImplGlfw_InitForOpenGL(window, false);
    glfwSetWindowFocusCallback(window, ImGui_ImplGlfw_WindowFocusCallback);
    glfwSetCursorEnterCallback(window, ImGui_ImplGlfw_CursorEnterCallback);
    glfwSetMouseButtonCallback(window, mouse_button_callback);
    glfwSetScrollCallback(window, scroll_callback);
    glfwSetKeyCallback(window, key_callback);
    glfwSetCharCallback(window, char_callback);
    glfwSetMonitorCallback(ImGui_ImplGlfw_MonitorCallback);
    glfwSetWindowRefreshCallback(window, refresh_callback);
    KeyboardFrame::configure(io);
    ImGui_ImplOpenGL3_Init("#version 330 core");

    struct sigaction sa {};
    sa.sa_handler = on_end_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    FrameSnapshot last_frame;
    GlfwShell shell(window, last_frame);
    std::optional<FrameCapture> capture = FrameCapture::from_env();
    bool first_frame = true;
    int exit_code = 0;
    float scale = pixels_per_point();
    while (true) {
        // New glyphs, or the fonts for a new scale, go in between frames;
        // the first frame uploads the atlas made with the context. A bake
        // that is due goes in before any new input is taken, so the frame
        // after it draws what it was for and can be shown: new input might
        // bring new text again.
        bool rebuilt = !first_frame && refresh_font_atlas(scale, glfwGetTime());
        if (!rebuilt) {
            if (capture) capture->input_next();
            // A signal that ended a picker arrived during the last frame, or a
            // picture is wanted: no wait.
            const double wait = g_end_requested || (capture && capture->hurry()) ? 0.0 : shell.take_wait();
            if (wait <= 0.0)
                glfwPollEvents();
            else if (wait == std::numeric_limits<double>::infinity())
                glfwWaitEventsTimeout(1.0);  // still wakes to notice signals
            else
                glfwWaitEventsTimeout(wait);
        }
        if (g_end_requested) glfwSetWindowShouldClose(window, GLFW_TRUE);
        if (glfwWindowShouldClose(window)) break;

        if (scale != pixels_per_point()) {
            scale = pixels_per_point();
            set_min_size_in_points(window, options.min_width, options.min_height);
            if (!first_frame && refresh_font_atlas(scale, glfwGetTime())) rebuilt = true;
        }
        if (rebuilt) {
            ImGui_ImplOpenGL3_DestroyFontsTexture();
            ImGui_ImplOpenGL3_CreateFontsTexture();
            io.Fonts->ClearTexData();
            // The old texture and the build's buffers, tens of MB, were freed:
            // without this glibc keeps blocks that size in the heap for good.
            malloc_trim(0);
            last_frame.clear();
        }
        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplGlfw_NewFrame();
        measure_in_points(window, io);
        const bool keys_waiting = g_keyboard.deliver(io);
        if (keys_waiting) shell.request_repaint_after(0.0);
        if (capture) capture->input_handed(keys_waiting);
        ImGui::NewFrame();
        feather_one_pixel(ImGui::GetBackgroundDrawList());
        feather_one_pixel(ImGui::GetForegroundDrawList());
        ImGui::GetBackgroundDrawList()->AddCallback(premultiplied_blend, nullptr);
        begin_interaction_frame();
        if (!run_guarded_frame(driver, shell, g_keyboard)) {
            exit_code = 1;
            break;
        }
        shell.end_dialog();
        ImGui::Render();
        clear_transparent_vertices(ImGui::GetDrawData());
        if (first_frame) {
            io.Fonts->ClearTexData();  // uploaded by the first NewFrame
            first_frame = false;
        }
        // A frame that showed characters without glyphs yet is not shown:
        // the next one, after their glyphs are baked, is. The wake for that
        // bake lets more new text gather first.
        shell.request_repaint_after(glyph_bake_wait(glfwGetTime()));
        if (frame_lacks_glyphs()) continue;

        draw_frame(window, ImGui::GetDrawData());
        last_frame.keep(*ImGui::GetDrawData());
        g_needs_repaint = false;
        if (capture && capture->frame_drawn()) {
            int fb_w = 0, fb_h = 0;
            glfwGetFramebufferSize(window, &fb_w, &fb_h);
            if (!capture_back_buffer(capture->path(), fb_w, fb_h))
                std::fprintf(stderr, "Error: could not write %s\n", capture->path().c_str());
            if (capture->written()) glfwSetWindowShouldClose(window, GLFW_TRUE);
        }
        glfwSwapBuffers(window);
        // ImGui settles hover and layout over two frames after input.
        if (io.MouseDelta.x != 0 || io.MouseDelta.y != 0 || io.MouseDown[0] || take_animation_frame_request())
            shell.request_repaint_after(1.0 / 60);
        if (const double at = take_timed_frame_request(); at >= 0.0) shell.request_repaint_after(at);
    }

    driver.on_close();
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    glfwDestroyWindow(window);
    glfwTerminate();
    return exit_code;
}

}  // namespace corvane
