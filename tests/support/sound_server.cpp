// A private PulseAudio or PipeWire server with a null sink.
#include "tests/support/sound_server.h"

#include "sound/heard_meter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return dir + "/" + program;
    return "";
}

void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

// The graph's fixed cycle and the null sink, as a drop-in to PipeWire's own
// configuration.
std::string PipeWireDropIn(int quantum) {
    std::ostringstream c;
    c << "context.properties = {\n"
      << "    default.clock.rate = " << cSoundServer::kRate << "\n"
      << "    default.clock.allowed-rates = [ " << cSoundServer::kRate << " ]\n"
      << "    default.clock.quantum = " << quantum << "\n"
      << "    default.clock.min-quantum = " << quantum << "\n"
      << "    default.clock.max-quantum = " << quantum << "\n"
      << "}\n"
      << "context.objects = [\n"
      << "    { factory = adapter args = { factory.name = support.null-audio-sink node.name = vk_null\n"
      << "      media.class = Audio/Sink audio.position = [ FL FR ] audio.rate = " << cSoundServer::kRate << "\n"
      << "      monitor.channel-volumes = true object.linger = true } }\n"
      << "]\n";
    return c.str();
}

}  // namespace

cSoundServer::cSoundServer(cServerKind kind, int quantum) : kind(kind), quantum(quantum) {
    char pattern[] = "/tmp/vk-sound-server-XXXXXX";
    if (!mkdtemp(pattern)) {
        problem = "no temporary directory";
        return;
    }
    dir = pattern;
    const std::string run = dir + "/run", home = dir + "/home", config = dir + "/config";
    std::filesystem::create_directories(home);
    mkdir(run.c_str(), 0700);
    socket = kind == cServerKind::kPulseAudio ? run + "/native" : run + "/pulse/native";
    if (kind == cServerKind::kPipeWire) Write(config + "/pipewire/pipewire.conf.d/vk-null.conf", PipeWireDropIn(quantum));

    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) && entry.rfind("XDG_", 0) && entry.rfind("PULSE_", 0) &&
            entry.rfind("PIPEWIRE_", 0) && entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) && entry.rfind("DISPLAY=", 0))
            env.push_back(entry);
    }
    env.push_back("HOME=" + home);
    env.push_back("XDG_RUNTIME_DIR=" + run);
    env.push_back("XDG_CONFIG_HOME=" + config);
    env.push_back("XDG_STATE_HOME=" + home + "/state");
    // pipewire-pulse would take this for its socket's directory as well.
    if (kind == cServerKind::kPulseAudio) env.push_back("PULSE_RUNTIME_PATH=" + run);
    env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + run + "/bus");
    Start();
}

cSoundServer::~cSoundServer() {
    Kill();
    // Clients after this one must not look for a cookie in the removed home.
    const char* server = std::getenv("PULSE_SERVER");
    if (server && server == Address()) {
        unsetenv("PULSE_SERVER");
        unsetenv("PULSE_COOKIE");
    }
    if (!dir.empty()) std::filesystem::remove_all(dir);
}

void cSoundServer::SetEnvironment() const {
    setenv("PULSE_SERVER", Address().c_str(), 1);
    // No cookie is needed (anonymous clients); a client would look for one here.
    setenv("PULSE_COOKIE", (dir + "/home/cookie").c_str(), 1);
}

pid_t cSoundServer::Spawn(const std::string& name, const std::vector<std::string>& args, const std::string& log) {
    const std::string program = OnPath(name);
    if (program.empty()) {
        problem = "no " + name + " on PATH (see scripts/install-deps.sh --tests)";
        return -1;
    }
    std::vector<char*> argv, envp;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The server ends with this process, however that ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0) problem = "cannot start " + name;
    return pid;
}

bool cSoundServer::Start() {
    if (dir.empty()) return false;
    Kill();
    problem.clear();
    const std::string run = dir + "/run", log = dir + "/log";
    // A killed server leaves its sockets and locks behind.
    for (const char* stale : {"/native", "/pulse/native", "/pulse/pid", "/pipewire-0", "/pipewire-0.lock", "/bus"})
        unlink((run + stale).c_str());
    std::vector<std::pair<std::string, std::vector<std::string>>> programs;
    if (kind == cServerKind::kPulseAudio) {
        programs.push_back({"pulseaudio",
                            {"--system=false", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                             "--log-target=stderr",
                             "--load=module-null-sink sink_name=vk_null rate=" + std::to_string(kRate) +
                                 " format=s16le channels=2",
                             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket}});
    } else {
        programs.push_back({"dbus-daemon", {"--config-file=/usr/share/dbus-1/session.conf",
                                            "--address=unix:path=" + run + "/bus", "--nofork", "--nopidfile"}});
        programs.push_back({"pipewire", {}});
        programs.push_back({"wireplumber", {}});
        programs.push_back({"pipewire-pulse", {}});
    }
    for (const auto& [program, args] : programs) {
        const pid_t pid = Spawn(program, args, log);
        if (pid < 0) {
            Kill();
            return false;
        }
        pids.push_back(pid);
        // Each piece of a PipeWire session connects to the one before it.
        if (kind == cServerKind::kPipeWire) std::this_thread::sleep_for(milliseconds(100));
    }
    std::string why;
    if (!WaitForDefaultSink(why)) {
        Kill();
        problem = Name() + std::string(" did not come up: ") + why + "\n" + ReadAll(log);
        return false;
    }
    return true;
}

void cSoundServer::Kill() {
    for (auto p = pids.rbegin(); p != pids.rend(); ++p) kill(*p, SIGKILL);
    for (pid_t pid : pids) waitpid(pid, nullptr, 0);
    pids.clear();
}

// Waits until a heard meter finds vk_null the default sink and records its
// monitor: the socket alone does not tell that the session manager has set
// PipeWire's graph up.
bool cSoundServer::WaitForDefaultSink(std::string& why) {
    const auto end = steady_clock::now() + std::chrono::seconds(15);
    while (steady_clock::now() < end) {
        for (pid_t pid : pids)
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                why = "a process ended";
                return false;
            }
        const cMonitorRecorder probe(Address());
        if (probe.Recording() && probe.Sink() == "vk_null") return true;
        why = probe.Recording() ? "default sink \"" + probe.Sink() + "\"" : probe.Problem();
        std::this_thread::sleep_for(milliseconds(50));
    }
    return false;
}
