#pragma once
#include <string>

namespace corvane {

// The system's description of an error code in the form the program shows
// everywhere: "No such file or directory (os error 2)".
std::string os_error_text(int code);

}  // namespace corvane
