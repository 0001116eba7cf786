#include "platform/os_error.h"

#include <cstring>

namespace corvane {

std::string os_error_text(int code) {
    char buf[256];
    // GNU strerror_r may return a static string instead of filling buf.
    const char* msg = strerror_r(code, buf, sizeof buf);
    return std::string(msg) + " (os error " + std::to_string(code) + ")";
}

}  // namespace corvane
