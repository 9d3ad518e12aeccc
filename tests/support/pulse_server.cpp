// A private PulseAudio server: posix_spawn, a wait for its socket, SIGTERM.
#include "tests/support/pulse_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using std::chrono::milliseconds;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits up to `limit` for the child to end; true when it has.
bool Reaped(pid_t pid, milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

}  // namespace

cPulseServer::cPulseServer() {
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

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t child = -1;
    const int error = posix_spawnp(&child, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        problem = "cannot run pulseaudio (Debian package pulseaudio)";
        return;
    }
    pid = child;

    // The socket appears once the protocol module listens.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    struct stat st;
    while (stat(socket.c_str(), &st) != 0) {
        if (waitpid(pid, nullptr, WNOHANG) == pid || std::chrono::steady_clock::now() > end) {
            if (waitpid(pid, nullptr, WNOHANG) == 0) Stop();
            pid = -1;
            problem = "pulseaudio did not start:\n" + ReadAll(log);
            return;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    // No cookie is needed (anonymous clients); a client would look for one here.
    setenv("PULSE_COOKIE", (home + "/cookie").c_str(), 1);
}

cPulseServer::~cPulseServer() {
    if (pid > 0) Stop();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_COOKIE");
    if (!dir.empty()) std::filesystem::remove_all(dir);
}

void cPulseServer::Stop() {
    kill(pid, SIGTERM);
    if (!Reaped(pid, milliseconds(3000))) {
        kill(pid, SIGKILL);
        Reaped(pid, milliseconds(3000));
    }
    pid = -1;
}
