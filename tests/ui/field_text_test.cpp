#include "ui/field_text.h"

#include <gtest/gtest.h>

#include <imgui_stdlib.h>

#include <string>

#include "headless_imgui.h"

namespace corvane {
namespace {

// What ImGui's 16-bit text cannot hold as it is (a character of the Private
// Use Area, bytes that are not UTF-8, a NUL, a character beyond U+FFFF)
// comes out of an edit as it went in, around the edit.
TEST(FieldText, AnEditKeepsWhatImGuiCannotHold) {
    const std::string odd = std::string("\xEE\x80\x80 \xFF\xC0 ") + '\0' + " \U0001F600 ";
    std::string text = odd;
    const auto field = [&] {
        ImGui::SetCursorScreenPos({100, 100});
        ImGui::SetNextItemWidth(600);
        edit_field_text(text, {}, [](const FieldCall& f) {
            ImGui::InputText("##field", &f.buffer, f.flags, f.callback, f.user_data);
        });
    };
    const ImVec2 end_of_text{690, 108};  // a click past the text puts the cursor at its end
    test::run_frame(end_of_text, false, field);
    test::run_frame(end_of_text, true, field);
    test::run_frame(end_of_text, false, field);
    EXPECT_EQ(text, odd);
    ImGui::GetIO().AddInputCharacter('z');
    test::run_frame(end_of_text, false, field);
    EXPECT_EQ(text, odd + "z");
}

}  // namespace
}  // namespace corvane
