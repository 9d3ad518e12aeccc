// Child processes: fork, a new session, the descriptors in place, exec;
// wait and describe the end.
#include "capture/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// ---- Local helpers ---------------------------------------------------------

namespace {

// Above every descriptor a child is handed on: copies are made here first.
constexpr int kParking = 64;
// Descriptors a child is handed at most (standard input and 3, 4, ...).
constexpr int kMostDescriptors = 8;

// In the child, between fork and exec: each source descriptor becomes the
// target one, open across exec. Every source is first copied above all the
// targets, so that no dup2 overwrites a source not yet moved (the music's
// file may be descriptor 0 and the frames' pipe descriptor 3).
bool ArrangeDescriptors(const int* sources, const int* targets, int count) {
    int parked[kMostDescriptors];
    for (int i = 0; i < count; ++i)
        if ((parked[i] = fcntl(sources[i], F_DUPFD, kParking)) < 0) return false;
    for (int i = 0; i < count; ++i)
        if (dup2(parked[i], targets[i]) < 0) return false;  // dup2's copy is open across exec
    for (int i = 0; i < count; ++i) close(parked[i]);
    return true;
}

// Forks program in a new session with descriptor sources[i] as its
// descriptor targets[i]; the child's id, or -1 with error set.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments, const int* sources,
            const int* targets, int count, std::string& error) {
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
        if (!ArrangeDescriptors(sources, targets, count)) _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);  // a failed exec shows in the status
    }
    return child;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

pid_t StartChild(const std::string& program, const std::vector<std::string>& arguments, int input,
                 std::string& error, const std::vector<int>& passed) {
    int sources[kMostDescriptors], targets[kMostDescriptors], count = 0;
    if (passed.size() + 1 > size_t(kMostDescriptors)) {
        error = "too many descriptors for " + program;
        return -1;
    }
    if (input >= 0) sources[count] = input, targets[count++] = STDIN_FILENO;
    for (size_t i = 0; i < passed.size(); ++i) sources[count] = passed[i], targets[count++] = 3 + int(i);
    return Spawn(program, arguments, sources, targets, count, error);
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

std::string ChildOutput(const std::string& program, const std::vector<std::string>& arguments,
                        std::string& output) {
    output.clear();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::string("cannot make a pipe: ") + std::strerror(errno);
    const int sources[1] = {fds[1]}, targets[1] = {STDOUT_FILENO};
    std::string error;
    const pid_t child = Spawn(program, arguments, sources, targets, 1, error);
    close(fds[1]);
    if (child > 0) {
        char buffer[8192];
        for (;;) {
            const ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            output.append(buffer, size_t(n));
        }
    }
    close(fds[0]);
    return child > 0 ? WaitChild(child, arguments.empty() ? program : arguments[0]) : error;
}
