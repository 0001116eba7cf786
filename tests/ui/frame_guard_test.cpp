#include "ui/frame_guard.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <new>
#include <stdexcept>

#include "headless_imgui.h"
#include "main/app_update_test_fakes.h"
#include "ui/fonts.h"

namespace corvane {
namespace {

// A frame cut off deep inside its windows, as an exception from a view would
// leave it.
class CutOffFrame final : public FrameDriver {
public:
    void frame(Shell&, const KeyboardFrame&) override {
        ImGui::Begin("cut_off_outer");
        ImGui::PushFont(font({FontFamily::Semibold, 15}));
        ImGui::BeginChild("cut_off_inner", ImVec2(100, 100));
        ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32_WHITE);
        ImGui::PushID("row");
        if (fail == 1) throw std::bad_alloc();
        if (fail == 2) throw 42;
        ImGui::PopID();
        ImGui::PopStyleColor();
        ImGui::EndChild();
        ImGui::PopFont();
        ImGui::End();
    }
    int fail = 0;
};

// An exception escaping the frame, from deep inside its windows, is reported
// and ends the frame; a frame that ends well goes on.
TEST(FrameGuard, AFailedFrameIsReportedAndEndsTheLoop) {
    test::ensure_headless_imgui();
    CutOffFrame driver;
    test::FakeShell shell;
    const KeyboardFrame keys;
    const std::pair<int, const char*> failures[] = {{1, "Error: std::bad_alloc\n"}, {2, "Error: unknown exception\n"}};
    for (const auto& [fail, message] : failures) {
        driver.fail = fail;
        ImGui::NewFrame();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(run_guarded_frame(driver, shell, keys));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
        test::reset_headless_imgui();  // the program ends here; the test goes on
    }
    driver.fail = 0;
    ImGui::NewFrame();
    EXPECT_TRUE(run_guarded_frame(driver, shell, keys));
    ImGui::Render();
}

}  // namespace
}  // namespace corvane
