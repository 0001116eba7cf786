#include "support/thread_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace corvane::test {

namespace {

// Whether the user namespace maps `uid` (lines of "inside outside count").
bool mapped(uid_t uid) {
    std::ifstream map("/proc/self/uid_map");
    for (std::string line; std::getline(map, line);) {
        std::istringstream in(line);
        unsigned long inside = 0, outside = 0, count = 0;
        if (in >> inside >> outside >> count && uid >= inside && uid - inside < count) return true;
    }
    return false;
}

// Tasks of this process whose real user is `uid`: those the limit counts.
int tasks_of(uid_t uid) {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("Uid:", 0) != 0) continue;
            std::istringstream in(line.substr(4));
            unsigned long real = 0;
            if (in >> real && real == uid) ++n;
            break;
        }
    }
    return n;
}

}  // namespace

std::optional<uid_t> own_user_id() {
    if (geteuid() != 0) return std::nullopt;
    // Process ids are unique while the process lives, so is this id.
    const auto pid = static_cast<uid_t>(getpid());
    for (const uid_t candidate : {uid_t{100000} + pid, uid_t{30000} + pid % 30000}) {
        if (mapped(candidate)) return candidate;
    }
    return std::nullopt;
}

bool become_own_user() {
    const std::optional<uid_t> uid = own_user_id();
    return uid && setuid(*uid) == 0;
}

bool allow_more_threads(int more) {
    rlimit lim{};
    if (getrlimit(RLIMIT_NPROC, &lim) != 0) return false;
    // Only the soft limit, so a later call may raise it again.
    lim.rlim_cur = static_cast<rlim_t>(tasks_of(getuid()) + more);
    return setrlimit(RLIMIT_NPROC, &lim) == 0;
}

}  // namespace corvane::test
