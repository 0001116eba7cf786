#include "ui/key_input.h"

#include <imgui.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cfloat>
#include <utility>

#include "ui/field_text.h"

namespace corvane {

namespace {

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
char to_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_modifier(int key) { return key >= GLFW_KEY_LEFT_SHIFT && key <= GLFW_KEY_RIGHT_SUPER; }

// The editing shortcuts' slots in io.KeysDown, past every GLFW key code.
struct ShortcutSlot {
    char letter;
    ImGuiKey_ key;
};
constexpr ShortcutSlot kSlots[] = {{'a', ImGuiKey_A}, {'c', ImGuiKey_C}, {'v', ImGuiKey_V},
                                   {'x', ImGuiKey_X}, {'y', ImGuiKey_Y}, {'z', ImGuiKey_Z}};
constexpr int kFirstSlot = GLFW_KEY_LAST + 1;
static_assert(kFirstSlot + static_cast<int>(std::size(kSlots)) <= 512, "io.KeysDown holds 512 keys");

int slot_of(char letter) {
    for (int i = 0; i < static_cast<int>(std::size(kSlots)); ++i)
        if (kSlots[i].letter == letter) return kFirstSlot + i;
    return -1;
}

bool has(int mods, int bit) { return (mods & bit) != 0; }

// Ctrl+Shift+Z redoes too; ImGui knows only Ctrl+Y, and no shortcut with
// Shift.
bool is_shift_redo(int mods, char meaning) {
    return meaning == 'z' && (mods & (GLFW_MOD_CONTROL | GLFW_MOD_SHIFT | GLFW_MOD_ALT | GLFW_MOD_SUPER)) ==
                                 (GLFW_MOD_CONTROL | GLFW_MOD_SHIFT);
}

// The slot a press of a key meaning `meaning` with `mods` holds down, or -1.
int pressed_slot(int mods, char meaning) {
    if (!has(mods, GLFW_MOD_CONTROL)) return -1;
    return slot_of(is_shift_redo(mods, meaning) ? 'y' : meaning);
}

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

void KeyboardFrame::configure(ImGuiIO& io) {
    constexpr std::pair<ImGuiKey_, int> kKeys[] = {
        {ImGuiKey_Tab, GLFW_KEY_TAB},           {ImGuiKey_LeftArrow, GLFW_KEY_LEFT},
        {ImGuiKey_RightArrow, GLFW_KEY_RIGHT},  {ImGuiKey_UpArrow, GLFW_KEY_UP},
        {ImGuiKey_DownArrow, GLFW_KEY_DOWN},    {ImGuiKey_PageUp, GLFW_KEY_PAGE_UP},
        {ImGuiKey_PageDown, GLFW_KEY_PAGE_DOWN}, {ImGuiKey_Home, GLFW_KEY_HOME},
        {ImGuiKey_End, GLFW_KEY_END},           {ImGuiKey_Insert, GLFW_KEY_INSERT},
        {ImGuiKey_Delete, GLFW_KEY_DELETE},     {ImGuiKey_Backspace, GLFW_KEY_BACKSPACE},
        {ImGuiKey_Space, GLFW_KEY_SPACE},       {ImGuiKey_Enter, GLFW_KEY_ENTER},
        {ImGuiKey_Escape, GLFW_KEY_ESCAPE},     {ImGuiKey_KeyPadEnter, GLFW_KEY_KP_ENTER},
    };
    for (const auto& [imgui_key, glfw_key] : kKeys) io.KeyMap[imgui_key] = glfw_key;
    for (int i = 0; i < static_cast<int>(std::size(kSlots)); ++i) io.KeyMap[kSlots[i].key] = kFirstSlot + i;
    io.KeyRepeatDelay = FLT_MAX;
}

void KeyboardFrame::on_key(int key, KeyAction action, int mods, char meaning) {
    if (key < 0 || key >= kFirstSlot) return;  // a key GLFW has no code for
    waiting_.push_back({key, action, mods, meaning, 0});
}

void KeyboardFrame::on_char(unsigned int codepoint) { waiting_.push_back({-1, KeyAction::Press, 0, 0, codepoint}); }

bool KeyboardFrame::deliver(ImGuiIO& io) {
    pressed_keys_.clear();
    std::vector<int> changed;
    bool acted = false, typed = false;
    int acting_mods = 0;
    char acting_meaning = 0;
    while (!waiting_.empty()) {
        const Event& e = waiting_.front();
        if (e.key < 0) {
            if (acted) break;
            typed = true;
        } else {
            const bool modifier = is_modifier(e.key);
            const bool acts = !modifier && e.action != KeyAction::Release;
            if (std::find(changed.begin(), changed.end(), e.key) != changed.end()) break;
            if (modifier && (acted || typed)) break;
            if (acts && acted) break;
            changed.push_back(e.key);
            if (acts) {
                acted = true;
                acting_mods = e.mods;
                acting_meaning = e.meaning;
                if (has(e.mods, GLFW_MOD_CONTROL) && e.meaning != 0) pressed_keys_.push_back(e.meaning);
            }
        }
        apply(io, e);
        waiting_.pop_front();
    }
    const auto down = [&](int left, int right) { return io.KeysDown[left] || io.KeysDown[right]; };
    io.KeyCtrl = down(GLFW_KEY_LEFT_CONTROL, GLFW_KEY_RIGHT_CONTROL);
    io.KeyShift = down(GLFW_KEY_LEFT_SHIFT, GLFW_KEY_RIGHT_SHIFT);
    io.KeyAlt = down(GLFW_KEY_LEFT_ALT, GLFW_KEY_RIGHT_ALT);
    io.KeySuper = down(GLFW_KEY_LEFT_SUPER, GLFW_KEY_RIGHT_SUPER);
    if (acted) {
        // The press goes by the modifiers it came with, also those held since
        // before the window had the focus.
        io.KeyCtrl = has(acting_mods, GLFW_MOD_CONTROL);
        io.KeyShift = has(acting_mods, GLFW_MOD_SHIFT) && !is_shift_redo(acting_mods, acting_meaning);
        io.KeyAlt = has(acting_mods, GLFW_MOD_ALT);
        io.KeySuper = has(acting_mods, GLFW_MOD_SUPER);
    }
    return !waiting_.empty();
}

void KeyboardFrame::apply(ImGuiIO& io, const Event& e) {
    if (e.key < 0) {
        // Characters beyond U+FFFF reach a text field only through the fields' own entry.
        add_typed_character(io, e.codepoint);
        return;
    }
    const auto held = std::find_if(held_slots_.begin(), held_slots_.end(),
                                   [&](const std::pair<int, int>& h) { return h.first == e.key; });
    if (held != held_slots_.end()) {
        io.KeysDown[held->second] = false;
        held_slots_.erase(held);
    }
    if (e.action == KeyAction::Release) {
        io.KeysDown[e.key] = false;
        return;
    }
    // ImGui counts a key as pressed in the frame its down time starts; a
    // repeat, or a press of a key it still holds, starts it again.
    const auto press = [&](int k) {
        if (io.KeysDown[k]) io.KeysDownDuration[k] = -1.0f;
        io.KeysDown[k] = true;
    };
    press(e.key);
    if (const int slot = pressed_slot(e.mods, e.meaning); slot >= 0) {
        io.KeysDownDuration[slot] = -1.0f;
        io.KeysDown[slot] = true;
        held_slots_.emplace_back(e.key, slot);
    }
}

}  // namespace corvane
