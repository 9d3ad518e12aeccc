// A private sound server with one null sink "vk_null" (the default sink),
// for tests and benchmarks that listen to what a real server plays on a
// machine without a sound card: PulseAudio, or a PipeWire session
// (pipewire, wireplumber and pipewire-pulse on a private D-Bus) whose Pulse
// server clients reach as they would a desktop's.
//
// Everything lives under a fresh temporary directory (runtime directory,
// home, configuration, logs); the machine's configuration is not read. The
// sink runs at 48000 Hz. A PipeWire graph runs at one fixed cycle (quantum,
// min-quantum and max-quantum all set by a configuration drop-in), so no
// client's fragment size can change it.
//
// Kill() ends the server's processes at once, as a crash does; Start()
// brings a new one up at the same address. Setting PULSE_SERVER to Address()
// is the caller's choice (SetEnvironment), before it starts threads. The
// server's processes end with the thread that started them (and so with the
// program, however it ends).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

enum class cServerKind { kPulseAudio, kPipeWire };

class cSoundServer {
public:
    static constexpr int kRate = 48000;  // the null sink's rate

    // quantum: the PipeWire graph's cycle in frames (ignored by PulseAudio).
    cSoundServer(cServerKind kind, int quantum = 1024);
    ~cSoundServer();
    cSoundServer(const cSoundServer&) = delete;
    cSoundServer& operator=(const cSoundServer&) = delete;

    // Starts the server (again) and waits until the null sink is the
    // default sink; false with Problem() set when it does not come up.
    bool Start();
    // Ends every process of the server with SIGKILL and waits for them.
    void Kill();
    bool Running() const { return !pids.empty(); }
    // Why it is not running, with the server's own output.
    std::string Problem() const { return problem; }

    cServerKind Kind() const { return kind; }
    int Quantum() const { return quantum; }
    const char* Name() const { return kind == cServerKind::kPulseAudio ? "PulseAudio" : "PipeWire-Pulse"; }
    // The Pulse address clients connect to ("unix:<socket>").
    std::string Address() const { return "unix:" + socket; }
    // Points this process's Pulse clients at the server (PULSE_SERVER).
    void SetEnvironment() const;

private:
    pid_t Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& log);
    bool WaitForDefaultSink(std::string& why);

    cServerKind kind;
    int quantum;
    std::string dir, socket;
    std::vector<std::string> env;
    std::vector<pid_t> pids;  // in start order; killed in reverse
    std::string problem;
};
