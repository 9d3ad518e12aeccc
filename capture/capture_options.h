// Command line of vindelkrok-capture: what to render and where it goes.
//
// Three kinds of output: an MP4 file (the default), numbered PNG frames with
// a WAV of the music (--png DIR), or single PNG frames at chosen song times
// (--stills). Options take their value as the next argument or after '='.
#pragma once

#include <string>
#include <vector>

struct cCaptureOptions {
    int fps = 60;                  // frames per second of song time
    double start = 0.0;            // song time of the first frame, seconds
    double duration = -1.0;        // seconds; below 0: to the end of the music's first pass
    int width = 800;
    int height = 600;
    int crf = 18;                  // H.264 quality of the MP4 (0 to 51, lower is better)
    std::string output;            // MP4 file, or the stills' directory; empty: the default
    std::string pngDirectory;      // --png: frames and audio.wav go here
    std::string continued;         // --continue: the MP4 or PNG directory of a stopped capture
    std::vector<double> stills;    // --stills: song times, as numbers
    std::vector<std::string> stillNames;  // the same times as written, for the file names
    bool help = false;
};

// MP4 file written when --output is not given.
inline constexpr const char* kDefaultVideoFile = "vindelkrok.mp4";
// Directory of the stills when --output is not given.
inline constexpr const char* kDefaultStillsDirectory = "stills";

// The demo's log beside the output: <file>.log for an MP4, log.txt in the
// directory of PNG frames or stills.
std::string CaptureLogPath(const cCaptureOptions& options);

// Reads the arguments into options; "" on success, otherwise a message
// naming the argument that is wrong.
std::string ParseCaptureOptions(int argc, const char* const* argv, cCaptureOptions& options);
// The --help text.
const char* CaptureUsage();
