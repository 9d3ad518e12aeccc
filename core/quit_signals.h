// Ending the demo in order on SIGINT, SIGTERM and SIGHUP.
#pragma once

// Installs handlers that only set the quit flag: the main loop then ends
// through the normal shut-down, which restores the desktop video mode.
void InstallQuitSignals();
