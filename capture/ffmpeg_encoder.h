// The ffmpeg program as the capture's MP4 encoder.
//
// ffmpeg runs as a child process: raw RGB frames go to it through a pipe on
// its standard input, the music comes from a WAV file written beforehand
// and handed over open, and it writes H.264 video with AAC audio into an
// MP4. Only its own error
// messages reach the terminal.
//
// ffmpeg runs in a session of its own, so signals meant for the capture
// program do not reach it, and writes the MP4 in fragments of a second:
// whatever stops the two programs, the file plays up to its last fragment.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

struct cVideoSettings {
    std::string output;  // the MP4 file
    int outputFd = -1;   // or, when not -1, an open file to write the MP4 into
    int audio = -1;      // an open WAV file with the music of the captured range,
                         // read from its start; -1: video only
    int width = 0, height = 0;
    int fps = 0;
    int crf = 18;        // H.264 quality: lower is better and larger
};

class cFfmpegEncoder {
public:
    cFfmpegEncoder() = default;
    ~cFfmpegEncoder();
    cFfmpegEncoder(const cFfmpegEncoder&) = delete;
    cFfmpegEncoder& operator=(const cFfmpegEncoder&) = delete;

    // Starts ffmpeg; false with a message when it is not on PATH or cannot run.
    bool Start(const cVideoSettings& settings, std::string& error);
    // Hands over one frame (width * height * 3 bytes, rows top-down); false
    // when ffmpeg has stopped taking frames.
    bool WriteFrame(const uint8_t* rgb);
    // Ends the input and waits for ffmpeg; "" when it wrote the file,
    // otherwise what went wrong.
    std::string Finish();

private:
    pid_t child = -1;
    int input = -1;
    size_t frameBytes = 0;
};

// The path of an executable file called name in a directory of PATH, or ""
// when there is none.
std::string FindOnPath(const char* name);
// "" when ffmpeg is on PATH, otherwise the message that says it is missing.
std::string MissingFfmpeg();
