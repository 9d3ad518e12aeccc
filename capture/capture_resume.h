// Continuing a capture that was stopped: the options that capture the rest.
//
// A frame is the same in every capture that contains it, so a capture
// stopped after some frames and a second one from the next frame join into
// the whole range. The second capture's --start must fall exactly on that
// frame: times are written with their decimals cut after the sixth (never
// rounded up), which --start and --duration read back as the same frame.
#pragma once

#include <cstdint>
#include <string>

// frames / fps seconds as text that reads back as exactly that many frames.
std::string FramesAsSeconds(int64_t frames, int fps);
// The options that capture frames [next, end): "--start S", and
// "--duration D" unless the capture runs to the end of the music anyway.
std::string ContinueOptions(int64_t next, int64_t end, bool toEndOfMusic, int fps);
