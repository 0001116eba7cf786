#include "ui/key_input.h"

#include <imgui.h>

#include <algorithm>

namespace corvane {

bool KeyReleaseHold::on_key(int key, bool down) {
    const bool pressed_now =
        std::find(pressed_this_frame_.begin(), pressed_this_frame_.end(), key) != pressed_this_frame_.end();
    if (down) {
        if (!pressed_now) pressed_this_frame_.push_back(key);
        // A new press cancels a held release of the same key (the next frame
        // sees it down, as it is).
        std::erase(held_, Event{key, false});
        return true;
    }
    if (pressed_now) {
        if (std::find(held_.begin(), held_.end(), Event{key, false}) == held_.end()) held_.push_back({key, false});
        return false;
    }
    return true;
}

std::vector<KeyReleaseHold::Event> KeyReleaseHold::end_frame() {
    pressed_this_frame_.clear();
    std::vector<Event> out;
    out.swap(held_);
    return out;
}

bool shortcut_pressed(Shortcut s, const ShortcutKeys& keys) {
    int key = 0;
    switch (s) {
    case Shortcut::NewTab: key = keys.t; break;
    case Shortcut::CloseTab: key = keys.w; break;
    case Shortcut::ToggleSound: key = keys.m; break;
    case Shortcut::LayoutInstrument: key = keys.one; break;
    case Shortcut::LayoutSignal: key = keys.two; break;
    }
    const ImGuiIO& io = ImGui::GetIO();
    if (!io.KeyCtrl || key <= 0 || key >= IM_ARRAYSIZE(io.KeysDown)) return false;
    return ImGui::IsKeyPressed(key, true);
}

}  // namespace corvane
