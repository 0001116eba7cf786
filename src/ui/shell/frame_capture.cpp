#include "shell/frame_capture.h"

#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <stb_image_write.h>

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace corvane {

std::optional<FrameCapture> FrameCapture::from_env() {
    const char* path = std::getenv("CORVANE_CAPTURE_PNG");
    if (path == nullptr || *path == '\0') return std::nullopt;
    FrameCapture c;
    c.path_ = path;
    if (const char* f = std::getenv("CORVANE_CAPTURE_FRAME")) {
        const long n = std::strtol(f, nullptr, 10);
        if (n > 0 && n < 100000) c.end_frame_ = static_cast<unsigned>(n);
    }
    if (const char* on = std::getenv("CORVANE_CAPTURE_ON")) c.on_request_ = on;
    return c;
}

void FrameCapture::input_next() {
    if (on_request_.empty() || requested_ || ::access(on_request_.c_str(), F_OK) != 0) return;
    requested_ = true;
    settled_ = 0;
}

void FrameCapture::input_handed(bool keys_waiting) {
    if (requested_) settled_ = keys_waiting ? 0 : settled_ + 1;
}

bool FrameCapture::frame_drawn() {
    if (on_request_.empty()) return ++drawn_ == end_frame_;
    return requested_ && settled_ >= 2;
}

bool FrameCapture::written() {
    if (on_request_.empty()) return true;
    ::unlink(on_request_.c_str());
    requested_ = false;
    return false;
}

bool capture_back_buffer(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The framebuffer's alpha is no picture: write it opaque.
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4) != 0;
}

}  // namespace corvane
