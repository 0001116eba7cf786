#include "ui/key_input.h"

#include <algorithm>

namespace corvane {

namespace {

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
char to_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

char shortcut_key(int physical, std::string_view typed) {
    if (typed.size() == 1 && (is_ascii_letter(typed[0]) || is_ascii_digit(typed[0]))) return to_lower(typed[0]);
    const bool digit_place = physical >= '0' && physical <= '9';
    const bool letter_place = physical >= 'A' && physical <= 'Z';
    if (!digit_place && !letter_place) return 0;
    const char place = to_lower(static_cast<char>(physical));
    if (typed.empty() || digit_place) return place;
    // The first byte of a UTF-8 sequence outside ASCII has its top bit set.
    return (static_cast<unsigned char>(typed[0]) & 0x80) != 0 ? place : 0;
}

bool KeyboardFrame::on_key(int key, KeyAction action, char meaning, bool modifier) {
    if (action != KeyAction::Release) {
        pressed_this_frame_ = true;
        if (meaning != 0 && pressed_keys_.find(meaning) == std::string::npos) pressed_keys_.push_back(meaning);
    }
    if (action == KeyAction::Repeat) return true;
    const bool down_now = std::find(down_this_frame_.begin(), down_this_frame_.end(), key) != down_this_frame_.end();
    if (action == KeyAction::Press) {
        if (!down_now) down_this_frame_.push_back(key);
        // A new press cancels a held release of the same key (the next frame
        // sees it down, as it is).
        std::erase(held_, Event{key, false});
        return true;
    }
    if (down_now || (modifier && pressed_this_frame_)) {
        if (std::find(held_.begin(), held_.end(), Event{key, false}) == held_.end()) held_.push_back({key, false});
        return false;
    }
    return true;
}

std::vector<KeyboardFrame::Event> KeyboardFrame::end_frame() {
    down_this_frame_.clear();
    pressed_this_frame_ = false;
    pressed_keys_.clear();
    std::vector<Event> out;
    out.swap(held_);
    return out;
}

}  // namespace corvane
