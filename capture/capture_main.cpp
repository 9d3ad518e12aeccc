// Entry point of vindelkrok-capture: reads the options, runs the capture.
#include "capture/capture.h"
#include "capture/capture_options.h"
#include "core/quit_signals.h"

#include <cstdio>

// Capture the demo
int main(int argc, char** argv) {
    cCaptureOptions options;
    const std::string error = ParseCaptureOptions(argc, argv, options);
    if (!error.empty()) {
        std::fprintf(stderr, "vindelkrok-capture: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(CaptureUsage(), stdout);
        return 0;
    }
    // SIGINT, SIGTERM and SIGHUP stop the frames; what was written is closed in order.
    InstallQuitSignals();
    return RunCapture(options);
}
