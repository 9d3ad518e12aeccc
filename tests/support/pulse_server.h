// A private PulseAudio server with one null sink, for tests and benchmarks
// that play through a real sound server on a machine without a sound card.
//
// Runs `pulseaudio` (also as root, which it allows with a warning) with its
// own runtime directory and home under a fresh temporary directory, no
// configuration of the machine's and no idle exit, and points this process
// at it through PULSE_SERVER. Destroying it stops the server, removes the
// directory and unsets PULSE_SERVER. Make it before the program starts
// threads that may read the environment.
#pragma once

#include <string>
#include <sys/types.h>

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
