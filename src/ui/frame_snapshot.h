#pragma once
// A copy of the last frame shown, to show again while the frame loop cannot
// build a new one (a system dialog blocks it): a window the system asks to
// repaint then shows its content instead of what covered it.
#include <imgui.h>

#include <memory>
#include <vector>

namespace corvane {

class FrameSnapshot {
public:
    // Copies the frame's draw lists, reusing the memory of the last copy.
    void keep(const ImDrawData& frame);
    // Forgets the copy: its textures are gone (the font atlas was rebuilt).
    void clear() { data_.Valid = false; }
    // The copy, or null when there is none.
    ImDrawData* data() { return data_.Valid ? &data_ : nullptr; }

private:
    std::vector<std::unique_ptr<ImDrawList>> lists_;
    std::vector<ImDrawList*> pointers_;
    ImDrawData data_;
};

}  // namespace corvane
