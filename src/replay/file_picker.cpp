#include "replay/file_picker.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace corvane {

namespace {

// Runs argv[0] from PATH; returns its standard output when it exits with 0.
std::optional<std::string> run_for_output(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::nullopt;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    if (rc != 0) {
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

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::filesystem::path> ZenityFilePicker::pick_history_file(const std::filesystem::path& start_dir) {
    std::string dir = start_dir.native();
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    const std::vector<std::string> args = {
        "zenity",
        "--file-selection",
        std::string("--title=") + kPlaybackDialogTitle,
        "--file-filter=Corvane history | *.csv",
        "--filename=" + dir,
    };
    auto out = run_for_output(args);
    if (!out) return std::nullopt;
    // Exactly one line feed ends the answer; a name may hold others.
    if (!out->empty() && out->back() == '\n') out->pop_back();
    if (out->empty()) return std::nullopt;
    return std::filesystem::path(*out);
}

}  // namespace corvane
