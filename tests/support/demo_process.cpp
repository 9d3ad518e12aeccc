// Running the demo in a child process with its output on a pipe.
#include "tests/support/demo_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace e2e {

cDemoProcess::cDemoProcess(const std::string& program, const std::string& dir, const std::vector<std::string>& env,
                           bool keepDisplay, const std::vector<std::string>& args, bool withErrors) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    started = Now();
    pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        if (withErrors) dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (chdir(dir.c_str()) != 0) _exit(126);
        if (!keepDisplay) unsetenv("DISPLAY");
        for (const std::string& entry : env) {
            if (entry.find('=') == std::string::npos)
                unsetenv(entry.c_str());
            else
                putenv(strdup(entry.c_str()));
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    out = pipeFds[0];
}

cDemoProcess::~cDemoProcess() {
    if (pid > 0 && status < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (out >= 0) close(out);
}

double cDemoProcess::Now() const {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9 - started;
}

bool cDemoProcess::ReadSome(double timeout) {
    if (out < 0) return false;
    pollfd p{out, POLLIN, 0};
    if (poll(&p, 1, int(timeout * 1000)) <= 0) return true;
    char buffer[4096];
    const ssize_t n = read(out, buffer, sizeof buffer);
    if (n <= 0) {
        close(out);
        out = -1;
        if (!partial.empty()) lines.push_back({partial, Now()});
        partial.clear();
        return false;
    }
    const double now = Now();
    partial.append(buffer, size_t(n));
    for (size_t end; (end = partial.find('\n')) != std::string::npos;) {
        lines.push_back({partial.substr(0, end), now});
        partial.erase(0, end + 1);
    }
    return true;
}

bool cDemoProcess::WaitForLine(const std::string& text, double timeout, bool prefix, size_t after) {
    const double until = Now() + timeout;
    for (size_t checked = after;;) {
        for (; checked < lines.size(); ++checked) {
            const std::string& line = lines[checked].text;
            if (prefix ? line.rfind(text, 0) == 0 : line == text) return true;
        }
        const double left = until - Now();
        if (out < 0 || left <= 0) return false;
        ReadSome(left < 0.1 ? left : 0.1);
    }
}

void cDemoProcess::ReadFor(double seconds) {
    const double until = Now() + seconds;
    while (Now() < until && ReadSome(until - Now())) {
    }
}

int cDemoProcess::WaitForExit(double timeout) {
    const double until = Now() + timeout;
    while (out >= 0 && Now() < until) ReadSome(0.1);
    while (status < 0 && Now() < until) {
        int raw = 0;
        if (waitpid(pid, &raw, WNOHANG) == pid) {
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        usleep(20000);
    }
    return status;
}

void cDemoProcess::Signal(int signal) {
    if (pid > 0 && status < 0) kill(pid, signal);
}

std::string cDemoProcess::Output() const {
    std::string all;
    for (const cLine& line : lines) all += line.text + "\n";
    return all;
}

size_t cDemoProcess::Count(const std::string& text, bool prefix) const {
    size_t n = 0;
    for (const cLine& line : lines) n += prefix ? line.text.rfind(text, 0) == 0 : line.text == text;
    return n;
}

}  // namespace e2e
