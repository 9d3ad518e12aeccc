// Child processes: fork, a new session, exec; wait and describe the end.
#include "capture/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// ---- Local helpers ---------------------------------------------------------

namespace {

// Makes the descriptor fd the child's descriptor target, open across exec.
// dup2 onto itself does nothing, so a descriptor that already has the
// number loses its close-on-exec flag instead.
void HandOver(int fd, int target) {
    if (fd == target)
        fcntl(fd, F_SETFD, 0);
    else
        dup2(fd, target);
}

}  // namespace

// ---- Public functions ------------------------------------------------------

pid_t StartChild(const std::string& program, const std::vector<std::string>& arguments, int input,
                 std::string& error, int passed) {
    // Everything the child needs is made before the fork: between fork and
    // exec only async-signal-safe calls are made.
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        error = "cannot start " + program + ": " + std::strerror(errno);
        return -1;
    }
    if (child == 0) {
        setsid();
        if (input >= 0) HandOver(input, STDIN_FILENO);
        if (passed >= 0) HandOver(passed, 3);
        execv(program.c_str(), argv.data());
        _exit(127);  // a failed exec shows in the status
    }
    return child;
}

std::string WaitChild(pid_t child, const std::string& name) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return "cannot wait for " + name + ": " + std::strerror(errno);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return name + " could not be run";
    if (WIFSIGNALED(status)) return name + " was killed by signal " + std::to_string(WTERMSIG(status));
    return name + " failed with status " + std::to_string(WEXITSTATUS(status)) + " (its messages are above)";
}
