// Signal handlers that set the quit flag (async-signal-safe: one store).
#include "core/quit_signals.h"

#include <csignal>
#include <initializer_list>

volatile std::sig_atomic_t gQuit = 0;

namespace {

// Ask the main loop to end
void RequestQuit(int) { gQuit = 1; }

}  // namespace

// Install the quit handlers
void InstallQuitSignals() {
    struct sigaction action {};
    action.sa_handler = RequestQuit;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls restart; the pauses (sleep) end early, which
    // only shortens them.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}
