#pragma once
// Test-only: with CORVANE_CAPTURE_PNG set, the shell writes frames of the
// window to that file as PNG pictures, for the window tests to probe.
//  - Frame CORVANE_CAPTURE_FRAME (default 3) is written and the program ends.
//  - With CORVANE_CAPTURE_ON set to a path instead, a frame is written each
//    time that file shows up, the file is then removed, and the program goes
//    on. A test that drives the window makes the file, waits until it is gone
//    and reads the picture. Whatever input reached the window before the file
//    was made has been acted on in it: the file is looked for only just
//    before the window reads its input, and the frame written is one drawn
//    whole (not one held back for glyphs) at least a frame after the last
//    waiting key went to Dear ImGui (which takes a click over two frames,
//    the press and the release, and keys one share per frame).
#include <optional>
#include <string>

namespace corvane {

class FrameCapture {
public:
    static std::optional<FrameCapture> from_env();

    const std::string& path() const { return path_; }
    // Before the window reads its input.
    void input_next();
    // Once a frame has handed Dear ImGui its input; `keys_waiting`: keys were
    // left for later frames.
    void input_handed(bool keys_waiting);
    // Once a frame is drawn, before it is shown: whether to write it.
    bool frame_drawn();
    // After the frame frame_drawn() asked for is written: whether the
    // program ends now.
    bool written();
    // Whether the next frame should follow at once.
    bool hurry() const { return on_request_.empty() || requested_; }

private:
    std::string path_;
    unsigned end_frame_ = 3;
    std::string on_request_;  // empty: write end_frame_ and end
    bool requested_ = false;
    unsigned drawn_ = 0;    // frames drawn since the start
    unsigned settled_ = 0;  // frames run since the request with no key left waiting
};

// Reads the current back buffer (width x height) and writes it to `path`.
bool capture_back_buffer(const std::string& path, int width, int height);

}  // namespace corvane
