#include "shell/window_points.h"

#include <imgui.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cfloat>
#include <cmath>

namespace corvane {

namespace {

float g_content_scale = 1.0f;

void content_scale_changed(GLFWwindow*, float x, float) {
    if (x > 0.0f) g_content_scale = x;
}

struct Sizes {
    int win_w = 0, win_h = 0, fb_w = 0, fb_h = 0;
    bool shown() const { return win_w > 0 && win_h > 0 && fb_w > 0 && fb_h > 0; }
    // The content scale where windows measure in pixels, 1 where they
    // measure in points already (the framebuffer is then larger).
    float units_per_point() const {
        return shown() ? g_content_scale * static_cast<float>(win_w) / static_cast<float>(fb_w) : 1.0f;
    }
};

Sizes sizes_of(GLFWwindow* w) {
    Sizes s;
    glfwGetWindowSize(w, &s.win_w, &s.win_h);
    glfwGetFramebufferSize(w, &s.fb_w, &s.fb_h);
    return s;
}

}  // namespace

void follow_content_scale(GLFWwindow* w) {
    float x = 1.0f, y = 1.0f;
    glfwGetWindowContentScale(w, &x, &y);
    content_scale_changed(w, x, y);
    glfwSetWindowContentScaleCallback(w, content_scale_changed);
}

float pixels_per_point() { return g_content_scale; }

void set_min_size_in_points(GLFWwindow* w, int width, int height) {
    const float u = sizes_of(w).units_per_point();
    glfwSetWindowSizeLimits(w, static_cast<int>(std::lround(static_cast<float>(width) * u)),
                            static_cast<int>(std::lround(static_cast<float>(height) * u)), GLFW_DONT_CARE,
                            GLFW_DONT_CARE);
}

void measure_in_points(GLFWwindow* w, ImGuiIO& io) {
    const Sizes s = sizes_of(w);
    if (!s.shown()) return;
    const float u = s.units_per_point();
    io.DisplaySize = ImVec2(static_cast<float>(s.win_w) / u, static_cast<float>(s.win_h) / u);
    io.DisplayFramebufferScale =
        ImVec2(static_cast<float>(s.fb_w) / io.DisplaySize.x, static_cast<float>(s.fb_h) / io.DisplaySize.y);
    if (io.MousePos.x != -FLT_MAX) io.MousePos = ImVec2(io.MousePos.x / u, io.MousePos.y / u);
}

}  // namespace corvane
