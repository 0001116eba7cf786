#include <cstdio>
#include <cstdlib>
#include <exception>

#include "main/app_new.h"
#include "shell/frame_capture.h"
#include "shell/glfw_shell.h"
#include "shell/placeholder_frame.h"
#include "ui/app_frame.h"

int main() {
    using namespace corvane;
    try {
        // Test-only: the kit's screenshots draw sample rows in a fixed view.
        const char* test_view = std::getenv("CORVANE_TEST_VIEW");
        if (test_view != nullptr && *test_view != '\0') {
            PlaceholderFrame frame(placeholder_inputs_from_env(), FrameCapture::from_env().has_value());
            return run_shell(ShellOptions{}, frame);
        }
        AppFrame frame(app_new);
        return run_shell(ShellOptions{}, frame);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        return 1;
    }
}
