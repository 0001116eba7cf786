#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/detached_thread.h"

extern char** environ;

namespace corvane {

namespace {

std::atomic<bool> g_pickers_ended{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
// Readable once the pickers are ended; never drained. Made before main runs,
// as a signal handler may not make it.
int g_end_pipe[2] = {-1, -1};
const bool g_end_pipe_made = ::pipe2(g_end_pipe, O_CLOEXEC | O_NONBLOCK) == 0;

// Starts args[0] from PATH with standard input and error on /dev/null,
// standard output on `stdout_fd` (or /dev/null when it is -1), and no other
// descriptor of ours open. With `own_group` it leads a process group of its
// own, so it can be ended with whatever it started.
std::optional<pid_t> spawn(const std::vector<std::string>& args, int stdout_fd, bool own_group = false) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (stdout_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // GTK prints a score of dconf warnings without a session bus.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Nothing else of ours goes along: not every descriptor is opened
    // close-on-exec (history files, sockets), and the file manager may live on
    // long after we are gone.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    if (own_group) {
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
    }

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return std::nullopt;
    return pid;
}

// The child's exit status, or nothing when it could not be waited for.
std::optional<int> wait_child(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    return status;
}

}  // namespace

std::optional<std::string> run_for_output(const std::vector<std::string>& args, const WhileDialogOpen& while_open) {
    if (g_pickers_ended.load()) return std::nullopt;
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::nullopt;
    const std::optional<pid_t> pid = spawn(args, pipe_fds[1], true);
    ::close(pipe_fds[1]);
    if (!pid) {
        ::close(pipe_fds[0]);
        return std::nullopt;
    }

    std::string out;
    char buf[4096];
    for (;;) {
        pollfd fds[2] = {{pipe_fds[0], POLLIN, 0}, {g_end_pipe[0], POLLIN, 0}};
        // Without the pipe (it could not be made) the flag is looked at
        // every 100 ms instead.
        const int timeout_ms = while_open ? 20 : g_end_pipe_made ? -1 : 100;
        const int ready = ::poll(fds, g_end_pipe_made ? 2 : 1, timeout_ms);
        if (g_pickers_ended.load()) {
            ::kill(-*pid, SIGKILL);
            ::close(pipe_fds[0]);
            wait_child(*pid);
            return std::nullopt;
        }
        if (ready <= 0) {
            if (ready == 0 && while_open) while_open(static_cast<int>(*pid));
            if (ready == 0 || errno == EINTR) continue;
            break;
        }
        const ssize_t n = ::read(pipe_fds[0], buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(pipe_fds[0]);

    const std::optional<int> status = wait_child(*pid);
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) return std::nullopt;
    return out;
}

std::optional<std::filesystem::path> run_path_picker(const std::vector<std::string>& args,
                                                     const WhileDialogOpen& while_open) {
    std::optional<std::string> out = run_for_output(args, while_open);
    if (!out) return std::nullopt;
    if (!out->empty() && out->back() == '\n') out->pop_back();
    if (out->empty()) return std::nullopt;
    return std::filesystem::path(*out);
}

void end_pickers_for_exit() noexcept {
    g_pickers_ended.store(true);
    if (g_end_pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(g_end_pipe[1], &byte, 1);
    }
}

bool start_detached_process(const std::vector<std::string>& args) {
    const std::optional<pid_t> pid = spawn(args, -1);
    if (!pid) return false;
    // Reaped in the background so it never lingers as a zombie. Without a
    // thread for that it stays one until we end, which harms nothing.
    (void)start_detached_thread([p = *pid] { wait_child(p); });
    return true;
}

}  // namespace corvane
