#pragma once
// Test-only: with CORVANE_CAPTURE_PNG set, the shell reads the back buffer
// after frame CORVANE_CAPTURE_FRAME (default 3), writes it as a PNG and ends.
#include <optional>
#include <string>

namespace corvane {

struct CaptureRequest {
    std::string path;
    unsigned frame = 3;
};

std::optional<CaptureRequest> capture_request_from_env();

// Reads the current back buffer (width x height) and writes it to `path`.
bool capture_back_buffer(const std::string& path, int width, int height);

}  // namespace corvane
