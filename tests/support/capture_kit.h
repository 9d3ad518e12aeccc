// End-to-end kit for vindelkrok-capture: a scratch working directory with
// Data/, the program run in it without a display, and its outputs read back
// (PNG frames, the WAV, and MP4s through ffmpeg and ffprobe).
#pragma once

#include "tests/support/scratch_directory.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
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

// Starts the capture program as RunCapture does, but in a session of its
// own (its process group is its pid, as a terminal's foreground group would
// be) and without waiting; its pid. WaitCapture reads its end.
pid_t StartCapture(const std::string& dir, const std::string& arguments, const std::string& environment = "");
// Waits for a capture StartCapture began; its exit status (-1 when a signal
// ended it), with its standard output and error in output.
int WaitCapture(pid_t capture, const std::string& dir, std::string& output);
// The first child process of pid (the capture's ffmpeg), or -1.
pid_t ChildOf(pid_t pid);
// Waits until the process pid has ended (gone or a zombie), up to seconds.
bool WaitUntilGone(pid_t pid, double seconds);
// Environment entries (for RunCapture and StartCapture) that put an ffmpeg
// first on PATH which reads the capture's frames no faster than the video
// plays, so that a capture is still running a few seconds after it began.
// The wrapper lives in dir/bin.
std::string PacedFfmpeg(const std::string& dir);
// Frames ffprobe reads from a copy of the MP4 at path, taken while capture
// writes it, once they are at least minimum; -1 when the capture ends or a
// minute passes first.
int64_t FramesOnceReadable(const std::string& path, int64_t minimum, pid_t capture);

// Reads a PNG; an empty image when it cannot.
cImage ReadPng(const std::string& path);
// Decodes every frame of a video with ffmpeg, each once (none repeated to
// fill a gap in the timestamps).
std::vector<cImage> DecodeVideo(const std::string& path, int width, int height);
// ffprobe's value of one stream entry (e.g. "nb_read_frames") for a stream
// ("v:0", "a:0"), counting frames when asked for them.
std::string Probe(const std::string& path, const std::string& stream, const std::string& entry);
// The mean absolute difference of two images' channel values (255 when
// their sizes differ).
double MeanDifference(const cImage& a, const cImage& b);
// The presentation times of a video's frames, as ffprobe prints them.
std::vector<std::string> FrameTimes(const std::string& path);
// A file's first audio stream decoded to interleaved 16-bit stereo at
// 48000 Hz.
std::vector<int16_t> DecodeAudio(const std::string& path);
// The types of an MP4's top-level boxes in file order ("ftyp", "moov", ...).
std::vector<std::string> TopLevelBoxes(const std::string& path);

}  // namespace capturetest
