#include "engine/duration_text.h"

#include <cstdio>

namespace corvane {

std::string format_duration_ms(std::int64_t ms) {
    const std::int64_t s = ms < 0 ? 0 : ms / 1000;
    char buf[48];
    if (s < 60) {
        std::snprintf(buf, sizeof buf, "%llds", static_cast<long long>(s));
    } else if (s < 3600) {
        std::snprintf(buf, sizeof buf, "%lldm %02llds", static_cast<long long>(s / 60),
                      static_cast<long long>(s % 60));
    } else {
        std::snprintf(buf, sizeof buf, "%lldh %02lldm", static_cast<long long>(s / 3600),
                      static_cast<long long>((s / 60) % 60));
    }
    return buf;
}

}  // namespace corvane
