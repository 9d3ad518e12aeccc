// End-to-end kit for vindelkrok-capture: a scratch working directory with
// Data/, the program run in it without a display, and its outputs read back
// (PNG frames, the WAV, and MP4s through ffmpeg and ffprobe).
#pragma once

#include "tests/support/scratch_directory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capturetest {

struct cImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // rows top-down
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool operator==(const cImage& o) const { return width == o.width && height == o.height && rgb == o.rgb; }
};

// The program under test.
std::string CaptureProgram();
// A fresh scratch directory with an empty Data/ in it; removed by
// RemoveDirectory.
std::string MakeWorkDirectory();
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Runs the capture program in dir with the arguments (a shell word list),
// without DISPLAY and on Mesa's software renderer, with extra environment
// entries first ("NAME=value ..."); its exit status. Its standard output
// and error go to output.
int RunCapture(const std::string& dir, const std::string& arguments, std::string& output,
               const std::string& environment = "");

// Reads a PNG; an empty image when it cannot.
cImage ReadPng(const std::string& path);
// Decodes every frame of a video with ffmpeg.
std::vector<cImage> DecodeVideo(const std::string& path, int width, int height);
// ffprobe's value of one stream entry (e.g. "nb_read_frames") for a stream
// ("v:0", "a:0"), counting frames when asked for them.
std::string Probe(const std::string& path, const std::string& stream, const std::string& entry);

}  // namespace capturetest
