#include <cstdlib>

#include "shell/frame_capture.h"
#include "shell/glfw_shell.h"
#include "shell/placeholder_frame.h"

int main() {
    using namespace corvane;
    PlaceholderFrame frame(placeholder_inputs_from_env(), capture_request_from_env().has_value());
    return run_shell(ShellOptions{}, frame);
}
