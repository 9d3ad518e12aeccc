// Times of frames as text: for ffmpeg's cut of a part's index copy and the
// durations of the parts a continuation joins, and readable by --start and
// --duration as the same frame.
//
// Times are written with their decimals cut after the sixth (never rounded
// up), which reads back as the same frame.
#pragma once

#include <cstdint>
#include <string>

// frames / fps seconds as text that reads back as exactly that many frames.
std::string FramesAsSeconds(int64_t frames, int fps);
