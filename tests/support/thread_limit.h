#pragma once
// Running out of threads on purpose, in a child process of a test (a death
// test's): the kernel refuses new threads past RLIMIT_NPROC, counted per user,
// and never for root. The child drops to a user id that no other process
// has, so only its own threads count.
#include <optional>
#include <sys/types.h>

namespace corvane::test {

// A user id of this process's own that it may switch to; none when the
// process isn't root or the user namespace maps no such id.
std::optional<uid_t> own_user_id();

// Switches the whole process to own_user_id() (for good: root's rights are
// gone). False when it can't.
bool become_own_user();

// After become_own_user: lets the process start `more` threads beyond those
// it has now, and no more.
bool allow_more_threads(int more);

}  // namespace corvane::test
