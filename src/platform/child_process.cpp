#include "platform/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace corvane {

namespace {

// Starts args[0] from PATH with standard input and error on /dev/null,
// standard output on `stdout_fd` (or /dev/null when it is -1), and no other
// descriptor of ours open.
std::optional<pid_t> spawn(const std::vector<std::string>& args, int stdout_fd) {
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

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
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

std::optional<std::string> run_for_output(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::nullopt;
    const std::optional<pid_t> pid = spawn(args, pipe_fds[1]);
    ::close(pipe_fds[1]);
    if (!pid) {
        ::close(pipe_fds[0]);
        return std::nullopt;
    }

    std::string out;
    char buf[4096];
    for (;;) {
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

std::optional<std::filesystem::path> run_path_picker(const std::vector<std::string>& args) {
    std::optional<std::string> out = run_for_output(args);
    if (!out) return std::nullopt;
    if (!out->empty() && out->back() == '\n') out->pop_back();
    if (out->empty()) return std::nullopt;
    return std::filesystem::path(*out);
}

bool start_detached_process(const std::vector<std::string>& args) {
    const std::optional<pid_t> pid = spawn(args, -1);
    if (!pid) return false;
    // Reaped in the background so it never lingers as a zombie.
    std::thread([p = *pid] { wait_child(p); }).detach();
    return true;
}

}  // namespace corvane
