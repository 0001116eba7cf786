#pragma once
// The one way the views run an ImGui text field on a text of the App.
//
// ImGui edits a copy made with stand_in_text.h's stand-ins; what it hands
// back is turned into the App's text only when ImGui changed the copy, so a
// text the user did not edit keeps every byte. Pasted text gets its
// stand-ins as it arrives and copied text loses them as it leaves; a
// character typed that needs one comes through add_typed_character.
#include <imgui.h>

#include <functional>
#include <string>

namespace corvane {

// What the ImGui call must be given: the text to edit and the flags and
// callback to pass on (the std::string overloads of imgui_stdlib take both).
struct FieldCall {
    std::string& buffer;
    ImGuiInputTextFlags flags;
    ImGuiInputTextCallback callback;
    void* user_data;
};

struct FieldTextOptions {
    // A pasted TAB is kept (ImGui would drop it).
    bool keep_pasted_tabs = false;
};

// Runs `field` (one InputText call) on `text`.
void edit_field_text(std::string& text, const FieldTextOptions& options,
                     const std::function<void(const FieldCall&)>& field);

// A character the window system typed, for ImGui's input queue (in place of
// io.AddInputCharacter). One ImGui takes as it is goes in as it is; one that
// needs a stand-in goes in as kTypedMark, and the field that takes it puts
// its stand-in there.
void add_typed_character(ImGuiIO& io, unsigned int c);

}  // namespace corvane
