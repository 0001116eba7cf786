#include "ui/field_text.h"

#include <cstring>
#include <deque>

#include "ui/stand_in_text.h"

namespace corvane {

namespace {

// Typed characters that wait in ImGui's queue as kTypedMark, oldest first.
std::deque<char32_t> g_typed;

// A typed character comes through ImGui's character filter: ImGui drops a
// character of the Private Use Area that comes from the keyboard before its
// filter sees it, so the stand-in is put in there, in place of the mark.
int put_typed_stand_in(ImGuiInputTextCallbackData* data) {
    if (data->EventFlag != ImGuiInputTextFlags_CallbackCharFilter || data->EventChar != kTypedMark) return 0;
    if (g_typed.empty()) return 1;
    data->EventChar = static_cast<ImWchar>(stand_in_for(g_typed.front()));
    g_typed.pop_front();
    return 0;
}

// The clipboard as the field sees it while ImGui runs it: the window
// system's, with stand-ins.
struct Clipboard {
    const char* (*get)(void*) = nullptr;
    void (*set)(void*, const char*) = nullptr;
    void* user_data = nullptr;
    bool tabs = false;
    std::string pasted;
};
Clipboard g_clipboard;

const char* get_with_stand_ins(void*) {
    const char* text = g_clipboard.get ? g_clipboard.get(g_clipboard.user_data) : nullptr;
    if (text == nullptr) return nullptr;
    g_clipboard.pasted = text_for_imgui(text, g_clipboard.tabs);
    return g_clipboard.pasted.c_str();
}

void set_without_stand_ins(void*, const char* text) {
    if (g_clipboard.set) g_clipboard.set(g_clipboard.user_data, text_from_imgui(text).c_str());
}

class ClipboardWithStandIns {
public:
    explicit ClipboardWithStandIns(bool tabs) : io_(ImGui::GetIO()) {
        g_clipboard.get = io_.GetClipboardTextFn;
        g_clipboard.set = io_.SetClipboardTextFn;
        g_clipboard.user_data = io_.ClipboardUserData;
        g_clipboard.tabs = tabs;
        io_.GetClipboardTextFn = get_with_stand_ins;
        io_.SetClipboardTextFn = set_without_stand_ins;
    }
    ~ClipboardWithStandIns() {
        io_.GetClipboardTextFn = g_clipboard.get;
        io_.SetClipboardTextFn = g_clipboard.set;
        io_.ClipboardUserData = g_clipboard.user_data;
    }
    ClipboardWithStandIns(const ClipboardWithStandIns&) = delete;
    ClipboardWithStandIns& operator=(const ClipboardWithStandIns&) = delete;

private:
    ImGuiIO& io_;
};

}  // namespace

void edit_field_text(std::string& text, const FieldTextOptions& options,
                     const std::function<void(const FieldCall&)>& field) {
    const std::string handed = text_for_imgui(text, options.keep_pasted_tabs);
    std::string buffer = handed;
    {
        const ClipboardWithStandIns clipboard(options.keep_pasted_tabs);
        field({buffer, ImGuiInputTextFlags_CallbackCharFilter, put_typed_stand_in, nullptr});
    }
    // ImGui sizes what it writes back by the length the text had when the
    // edit began, which can leave NULs after its end. The handed text holds
    // none (a NUL has a stand-in).
    buffer.resize(std::strlen(buffer.c_str()));
    if (buffer != handed) text = text_from_imgui(buffer);
}

void add_typed_character(ImGuiIO& io, unsigned int c) {
    if (c > 0x10FFFF) return;
    if (c == 0 || stand_in_for(c) == c) {
        io.AddInputCharacter(c);
        return;
    }
    // With no mark left in the queue, ImGui has dropped it since (no field
    // took the characters): so are the characters waiting here.
    if (!io.InputQueueCharacters.contains(static_cast<ImWchar>(kTypedMark))) g_typed.clear();
    g_typed.push_back(c);
    io.AddInputCharacter(kTypedMark);
}

}  // namespace corvane
