#pragma once
// Test-only: with CORVANE_CAPTURE_PNG set, the shell reads the back buffer
// after frame CORVANE_CAPTURE_FRAME (default 3), writes it as a PNG and ends.
// With CORVANE_CAPTURE_AFTER set to a path, frames count only once that file
// exists, so a test driving the window can say when its action was taken
// instead of guessing how many frames a busy machine draws meanwhile.
#include <optional>
#include <string>

namespace corvane {

struct CaptureRequest {
    std::string path;
    unsigned frame = 3;
    std::string after;  // empty: count from the first frame
    // Whether frames count yet; true for good once the file has shown up.
    bool counting();
};

std::optional<CaptureRequest> capture_request_from_env();

// Reads the current back buffer (width x height) and writes it to `path`.
bool capture_back_buffer(const std::string& path, int width, int height);

}  // namespace corvane
