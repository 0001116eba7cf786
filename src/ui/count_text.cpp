#include "ui/count_text.h"

namespace corvane {

std::string count_text(std::size_t n, std::string_view noun) {
    std::string out = std::to_string(n);
    out += ' ';
    out += noun;
    if (n != 1) out += 's';
    return out;
}

}  // namespace corvane
