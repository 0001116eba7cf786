#pragma once
// What a host or hop shows when the system refused its probe thread.
#include <string>

#include "platform/os_error.h"

namespace corvane {

inline std::string probe_thread_error_text(int err) {
    return "Could not start a probe thread: " + os_error_text(err);
}

}  // namespace corvane
