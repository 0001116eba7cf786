#include "engine/watch_session_limits.h"

#include <sys/resource.h>

namespace corvane {

std::uint64_t raise_open_file_limit() {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return 0;
    if (lim.rlim_cur != lim.rlim_max) {
        rlimit raised = lim;
        raised.rlim_cur = lim.rlim_max;
        // A failure leaves the old limit, which still serves short lists.
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) lim = raised;
    }
    return lim.rlim_cur == RLIM_INFINITY ? UINT64_MAX : static_cast<std::uint64_t>(lim.rlim_cur);
}

}  // namespace corvane
