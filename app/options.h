// Command line of the demo.
//
// Started without arguments the demo runs full screen with sound, as
// always. The options only change how it starts: in a window, on a silent
// output where there is no sound device, or at another point of the song.
#pragma once

#include <string>

struct cDemoOptions {
    bool help = false;
    bool version = false;
    bool windowed = false;  // start in a managed window (F1 still toggles)
    bool silent = false;    // play the music on a silent output
    double start = 0;       // song time to start at, in seconds
};

// The latest song time --start takes, in seconds.
constexpr double kLatestStart = 3600;

// Reads the arguments into options; "" on success, otherwise a message
// naming the argument that is not understood.
std::string ParseDemoOptions(int argc, const char* const* argv, cDemoOptions& options);
// The --help text.
const char* DemoUsage();
// "vindelkrok <version>".
std::string DemoVersion();
