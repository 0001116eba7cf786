#pragma once
// The window measured in points. GLFW gives window coordinates in pixels on
// X11 and Windows but in points on macOS and Wayland; the views always work
// in points, and the framebuffer holds the points' pixels.
struct GLFWwindow;
struct ImGuiIO;

namespace corvane {

// Reads the window's content scale (on X11, Xft.dpi / 96) and follows its
// changes.
void follow_content_scale(GLFWwindow* w);
// Pixels per point, as the window system last reported it (UI thread).
float pixels_per_point();

// The window's minimum size, given in points.
void set_min_size_in_points(GLFWwindow* w, int width, int height);

// After the backend's new frame: the display size and the pointer go from
// window coordinates to points, and the framebuffer scale becomes the
// pixels per point. A minimized window keeps the backend's values.
void measure_in_points(GLFWwindow* w, ImGuiIO& io);

}  // namespace corvane
