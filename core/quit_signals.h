// Ending the demo in order on SIGINT, SIGTERM and SIGHUP.
#pragma once

#include <csignal>

// 1 once the program was asked to end (by a signal, or by the demo's keys,
// mouse or window manager); the frame loops look at it before each frame.
// Written by a signal handler, hence its type.
extern volatile std::sig_atomic_t gQuit;

// Installs handlers that only set the quit flag: the main loop then ends
// through the normal shut-down, which restores the desktop video mode.
void InstallQuitSignals();
