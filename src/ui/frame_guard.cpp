#include "ui/frame_guard.h"

#include <cstdio>
#include <exception>
#include <string>

namespace corvane {

bool run_guarded_frame(FrameDriver& driver, Shell& shell, const KeyboardFrame& keys) {
    std::string message;
    try {
        driver.frame(shell, keys);
        return true;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "unknown exception";
    }
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return false;
}

}  // namespace corvane
