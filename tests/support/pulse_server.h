// A private PulseAudio server with one null sink, for tests and benchmarks
// that play through a real sound server on a machine without a sound card.
//
// Runs `pulseaudio` (also as root, which it allows with a warning) with its
// own runtime directory and home under a fresh temporary directory, no
// configuration of the machine's and no idle exit, and points this process
// at it through PULSE_SERVER. Destroying it stops the server, removes the
// directory and unsets PULSE_SERVER; a program that dies takes the server
// with it. Make it before the program starts threads (it forks and sets the
// environment).
//
// Header only, so that any test or benchmark program can use it by
// including it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

class cPulseServer {
public:
    cPulseServer();
    ~cPulseServer();
    cPulseServer(const cPulseServer&) = delete;
    cPulseServer& operator=(const cPulseServer&) = delete;

    // True when the server is up and taking clients.
    bool Running() const { return pid > 0; }
    // Why it is not, with the server's own output.
    std::string Problem() const { return problem; }

private:
    void Stop();

    std::string dir;
    pid_t pid = -1;
    std::string problem;
};

// ---- Implementation ----------------------------------------------------------

extern char** environ;

namespace pulseserver {

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The path of program in PATH, or "".
inline std::string OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return dir + "/" + program;
    return "";
}

// Waits up to `limit` for the child to end; true when it has.
inline bool Reaped(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

}  // namespace pulseserver

inline cPulseServer::cPulseServer() {
    char pattern[] = "/tmp/vk-pulse-XXXXXX";
    if (!mkdtemp(pattern)) {
        problem = "no temporary directory";
        return;
    }
    dir = pattern;
    const std::string run = dir + "/run", home = dir + "/home", socket = run + "/native", log = dir + "/log";
    mkdir(run.c_str(), 0700);
    mkdir(home.c_str(), 0700);

    // The server's environment: ours, with its own directories.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) && entry.rfind("XDG_RUNTIME_DIR=", 0) && entry.rfind("PULSE_", 0) &&
            entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0))
            env.push_back(entry);
    }
    env.push_back("HOME=" + home);
    env.push_back("XDG_RUNTIME_DIR=" + run);
    env.push_back("PULSE_RUNTIME_PATH=" + run);
    const std::vector<std::string> args = {
        "pulseaudio", "--system=false", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
        "--log-target=stderr", "--load=module-null-sink sink_name=vk_null",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket};
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const std::string program = pulseserver::OnPath("pulseaudio");
    if (program.empty()) {
        problem = "no pulseaudio on PATH (Debian package pulseaudio)";
        return;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        // The server ends with this process, however that ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0) {
        problem = "cannot start a process";
        return;
    }

    // The socket appears once the protocol module listens.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    struct stat st;
    while (stat(socket.c_str(), &st) != 0) {
        const bool ended = waitpid(pid, nullptr, WNOHANG) == pid;
        if (ended || std::chrono::steady_clock::now() > end) {
            if (!ended) Stop();
            pid = -1;
            problem = "pulseaudio did not start:\n" + pulseserver::ReadAll(log);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    // No cookie is needed (anonymous clients); a client would look for one here.
    setenv("PULSE_COOKIE", (home + "/cookie").c_str(), 1);
}

inline cPulseServer::~cPulseServer() {
    if (pid > 0) Stop();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_COOKIE");
    if (!dir.empty()) std::filesystem::remove_all(dir);
}

inline void cPulseServer::Stop() {
    kill(pid, SIGTERM);
    if (!pulseserver::Reaped(pid, std::chrono::milliseconds(3000))) {
        kill(pid, SIGKILL);
        pulseserver::Reaped(pid, std::chrono::milliseconds(3000));
    }
    pid = -1;
}
